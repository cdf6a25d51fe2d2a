// Test helper: the user's side of the settings dialog of a running
// Velumira.scr /c, for the end-to-end scripts.
//   velumira_dialog_driver point <caption>
//     once the dialog shows, prints "x y": the screen position of the middle of
//     its control that shows <caption>, for a real mouse click there;
//   velumira_dialog_driver choose <path>
//     once the open-file dialog shows, types <path> into its file name box and
//     prints the position of its open button the same way.
// Exit code 1 when the window or the control does not show within 30 s.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

namespace {

// A shown and enabled top-level window with this title: a hidden one, or one
// a modal window (the open-file dialog) has disabled, would take no click.
HWND WaitForWindow(const wchar_t* title) {
    for (int i = 0; i < 300; ++i) {
        HWND w = FindWindowW(nullptr, title);
        if (w && IsWindowVisible(w) && IsWindowEnabled(w)) return w;
        Sleep(100);
    }
    return nullptr;
}

struct Search {
    const wchar_t* caption;
    HWND found;
};

BOOL CALLBACK MatchCaption(HWND child, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    wchar_t text[256] = {};
    GetWindowTextW(child, text, 256);
    if (lstrcmpW(text, search->caption) != 0 || !IsWindowVisible(child)) return TRUE;
    search->found = child;
    return FALSE;
}

int PrintMiddle(HWND control) {
    RECT r;
    if (!control || !GetWindowRect(control, &r)) return std::printf("no control\n"), 1;
    std::printf("%ld %ld\n", (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    return 0;
}

int Point(const wchar_t* caption) {
    HWND dialog = WaitForWindow(L"<Velumira>");
    if (!dialog) return std::printf("no dialog\n"), 1;
    Search search{caption, nullptr};
    EnumChildWindows(dialog, MatchCaption, reinterpret_cast<LPARAM>(&search));
    return PrintMiddle(search.found);
}

int Choose(const wchar_t* path) {
    HWND chooser = WaitForWindow(L"ﾌｧｲﾙを開く");
    if (!chooser) return std::printf("no file chooser\n"), 1;
    Sleep(500);                                   // let it finish filling its folder view
    HWND name = GetDlgItem(chooser, 0x47C);       // cmb13, the file name box
    if (!name) name = GetDlgItem(chooser, 0x480); // edt1
    if (!name) return std::printf("no file name box\n"), 1;
    SetWindowTextW(name, path);
    return PrintMiddle(GetDlgItem(chooser, IDOK));
}

} // namespace

int main() {
    int count = 0;
    wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!args || count != 3) return std::printf("usage: point <caption> | choose <path>\n"), 2;
    const std::wstring what = args[1];
    if (what == L"point") return Point(args[2]);
    if (what == L"choose") return Choose(args[2]);
    return 2;
}
