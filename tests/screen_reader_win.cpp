// Test helper: the open settings dialog as a screen reader finds it, from
// another process, through Active Accessibility.
//   velumira_screen_reader <kind>
// Asks every control window of "<Velumira>" for its role, name, state and
// default action and prints them. Then checks, with the texts of the user's
// language: three radio buttons named with the option texts, exactly one
// checked (option <kind>) and focused; push buttons named, the "..." one by
// what it does, none the default; a link named with its address; the track
// box's name in front of it. Then it presses Down as the user does, listening
// for the events a reader hears, and checks that the choice and the focus
// moved to the option below; asks the top option's default action and checks
// that it is chosen; and presses cancel by its default action, which closes
// the dialog. Exit code 1 with the failures listed.
#include <windows.h>
#include <oleacc.h>
#include <shellapi.h>

#include "texts/texts_win.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

using velumira::UserTexts;
using velumira::Wide;

namespace {

const IID kIIDAccessible = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

int failures = 0;

std::string Utf8(const std::wstring& w) {
    return velumira::Utf8(w.c_str());
}

void Fail(const std::string& what) {
    std::printf("FAIL: %s\n", what.c_str());
    ++failures;
}

struct Control {
    HWND wnd;
    long role = 0;
    std::wstring name;
    long state = 0;
    std::wstring action;
    long top = 0;
};

VARIANT Self() {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = CHILDID_SELF;
    return v;
}

std::wstring Take(BSTR b) {
    std::wstring s = b ? std::wstring(b, SysStringLen(b)) : std::wstring();
    SysFreeString(b);
    return s;
}

IAccessible* Ask(HWND wnd) {
    IAccessible* acc = nullptr;
    if (FAILED(AccessibleObjectFromWindow(wnd, DWORD(OBJID_CLIENT), kIIDAccessible,
                                          reinterpret_cast<void**>(&acc))))
        return nullptr;
    return acc;
}

bool Read(HWND wnd, Control& c) {
    c.wnd = wnd;
    IAccessible* acc = Ask(wnd);
    if (!acc) return false;
    VARIANT v;
    VariantInit(&v);
    if (SUCCEEDED(acc->get_accRole(Self(), &v)) && v.vt == VT_I4) c.role = v.lVal;
    VariantClear(&v);
    if (SUCCEEDED(acc->get_accState(Self(), &v)) && v.vt == VT_I4) c.state = v.lVal;
    VariantClear(&v);
    BSTR b = nullptr;
    if (SUCCEEDED(acc->get_accName(Self(), &b))) c.name = Take(b);
    b = nullptr;
    if (SUCCEEDED(acc->get_accDefaultAction(Self(), &b))) c.action = Take(b);
    LONG x = 0, y = 0, w = 0, h = 0;
    if (SUCCEEDED(acc->accLocation(&x, &y, &w, &h, Self()))) c.top = y;
    acc->Release();
    return true;
}

BOOL CALLBACK Collect(HWND wnd, LPARAM param) {
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(wnd);
    return TRUE;
}

std::vector<Control> ReadAll(HWND dialog, bool print) {
    std::vector<HWND> windows;
    EnumChildWindows(dialog, Collect, reinterpret_cast<LPARAM>(&windows));
    std::vector<Control> all;
    for (HWND wnd : windows) {
        if (!IsWindowVisible(wnd)) continue;
        Control c;
        if (!Read(wnd, c)) {
            Fail("no accessible object for a window");
            continue;
        }
        all.push_back(c);
        if (!print) continue;
        wchar_t role[64] = {}, cls[64] = {};
        GetRoleTextW(DWORD(c.role), role, 64);
        GetClassNameW(wnd, cls, 64);
        std::string states;
        for (long bit = 1; bit > 0 && bit <= 0x40000000; bit <<= 1) {
            if (!(c.state & bit)) continue;
            wchar_t text[64] = {};
            GetStateTextW(DWORD(bit), text, 64);
            states += (states.empty() ? "" : ", ") + Utf8(text);
        }
        std::printf("| %s | %ld %s | %s | %s | %s |\n", Utf8(cls).c_str(), c.role,
                    Utf8(role).c_str(), Utf8(c.name).c_str(), states.c_str(),
                    Utf8(c.action).c_str());
    }
    return all;
}

std::vector<Control> OfRole(const std::vector<Control>& all, long role) {
    std::vector<Control> found;
    for (const Control& c : all)
        if (c.role == role) found.push_back(c);
    std::sort(found.begin(), found.end(),
              [](const Control& a, const Control& b) { return a.top < b.top; });
    return found;
}

// The music options: three radio buttons with the option texts, top down,
// exactly `checkedName` checked and focused. Returns them.
std::vector<Control> CheckOptions(const std::vector<Control>& all,
                                  const std::wstring& checkedName) {
    const std::vector<Control> radios = OfRole(all, ROLE_SYSTEM_RADIOBUTTON);
    if (radios.size() != 3) Fail("radio buttons: " + std::to_string(radios.size()));
    std::vector<std::wstring> names,
        expected = {Wide(UserTexts().audioCd), Wide(UserTexts().noMusic),
                    Wide(UserTexts().musicFile)};
    int checked = 0;
    for (const Control& r : radios) {
        names.push_back(r.name);
        if (r.state & STATE_SYSTEM_CHECKED) {
            ++checked;
            if (r.name != checkedName) Fail("checked: " + Utf8(r.name));
            if (!(r.state & STATE_SYSTEM_FOCUSED)) Fail("the checked option has no focus");
        }
        if (!(r.state & STATE_SYSTEM_FOCUSABLE)) Fail("option not focusable: " + Utf8(r.name));
        if (r.action != Wide(UserTexts().actionCheck)) Fail("option action: " + Utf8(r.action));
    }
    std::sort(names.begin(), names.end());
    std::sort(expected.begin(), expected.end());
    if (names != expected) Fail("option names differ from the option texts");
    if (checked != 1) Fail("checked options: " + std::to_string(checked));
    return radios;
}

struct Heard {
    DWORD event;
    HWND wnd;
};
std::vector<Heard> heard;

void CALLBACK Listen(HWINEVENTHOOK, DWORD event, HWND wnd, LONG object, LONG child, DWORD, DWORD) {
    if (object == OBJID_CLIENT && child == CHILDID_SELF &&
        (event == EVENT_OBJECT_FOCUS || event == EVENT_OBJECT_STATECHANGE))
        heard.push_back({event, wnd});
}

bool HeardOn(DWORD event, HWND wnd) {
    for (const Heard& h : heard)
        if (h.event == event && h.wnd == wnd) return true;
    return false;
}

void PumpFor(DWORD ms) {
    const DWORD end = GetTickCount() + ms;
    while (LONG(GetTickCount() - end) < 0) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        Sleep(20);
    }
}

void PressDown() {
    INPUT in[2] = {};
    for (INPUT& i : in) {
        i.type = INPUT_KEYBOARD;
        i.ki.wVk = VK_DOWN;
        i.ki.wScan = WORD(MapVirtualKeyW(VK_DOWN, 0));
        i.ki.dwFlags = KEYEVENTF_EXTENDEDKEY;
    }
    in[1].ki.dwFlags |= KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof(INPUT));
}

bool DefaultAction(HWND wnd) {
    IAccessible* acc = Ask(wnd);
    if (!acc) return false;
    const bool done = SUCCEEDED(acc->accDoDefaultAction(Self()));
    acc->Release();
    return done;
}

} // namespace

int main() {
    int count = 0;
    wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!args || count != 2) return std::printf("usage: velumira_screen_reader <kind>\n"), 2;
    const int kind = _wtoi(args[1]);
    const char* optionText[] = {UserTexts().noMusic, UserTexts().audioCd, UserTexts().musicFile};
    if (kind < 0 || kind > 2) return 2;
    CoInitialize(nullptr);

    HWND dialog = nullptr;
    for (int i = 0; i < 300 && !(dialog && IsWindowVisible(dialog)); ++i) {
        dialog = FindWindowW(nullptr, L"<Velumira>");
        Sleep(100);
    }
    if (!dialog) return std::printf("FAIL: no dialog\n"), 1;
    Sleep(500); // its opening animation

    std::printf("| class | role | name | state | default action |\n|---|---|---|---|---|\n");
    const std::vector<Control> all = ReadAll(dialog, true);
    const std::vector<Control> radios = CheckOptions(all, Wide(optionText[kind]));

    const std::vector<Control> buttons = OfRole(all, ROLE_SYSTEM_PUSHBUTTON);
    std::vector<std::wstring> buttonNames;
    HWND cancel = nullptr;
    for (const Control& b : buttons) {
        buttonNames.push_back(b.name);
        if (b.name == Wide(UserTexts().cancel)) cancel = b.wnd;
        if (b.state & STATE_SYSTEM_DEFAULT) Fail("a default button: " + Utf8(b.name));
        if (b.action != Wide(UserTexts().actionPress)) Fail("button action: " + Utf8(b.action));
    }
    for (const char* name : {UserTexts().apply, UserTexts().cancel, UserTexts().chooseFileName})
        if (std::count(buttonNames.begin(), buttonNames.end(), Wide(name)) != 1)
            Fail(std::string("no button named ") + name);
    if (buttons.size() != 3) Fail("push buttons: " + std::to_string(buttons.size()));

    const std::vector<Control> links = OfRole(all, ROLE_SYSTEM_LINK);
    wchar_t address[512] = {};
    if (links.size() == 1) GetWindowTextW(links[0].wnd, address, 512);
    if (links.size() != 1 || links[0].name.empty() || links[0].name != address ||
        links[0].action != Wide(UserTexts().actionJump))
        Fail("the link");

    bool captionRead = false;
    for (const Control& c : OfRole(all, ROLE_SYSTEM_STATICTEXT))
        captionRead = captionRead || c.name == Wide(UserTexts().musicCaption);
    if (!captionRead) Fail("the frame's caption is not static text");

    HWND combo = nullptr;
    for (const Control& c : all) {
        wchar_t cls[32] = {};
        GetClassNameW(c.wnd, cls, 32);
        if (lstrcmpiW(cls, L"ComboBox") == 0) combo = c.wnd;
    }
    HWND label = combo ? GetWindow(combo, GW_HWNDPREV) : nullptr;
    wchar_t cls[32] = {}, text[128] = {};
    if (label) {
        GetClassNameW(label, cls, 32);
        GetWindowTextW(label, text, 128);
    }
    if (lstrcmpiW(cls, L"Static") != 0 || text != Wide(UserTexts().repeatTrack))
        Fail("the track box has no label in front of it");

    // Down, as the user presses it, with a reader listening.
    size_t at = 0;
    while (at < radios.size() && !(radios[at].state & STATE_SYSTEM_CHECKED))
        ++at;
    if (radios.size() == 3 && at < 3) {
        DWORD pid = 0;
        GetWindowThreadProcessId(dialog, &pid);
        HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_STATECHANGE, nullptr,
                                             Listen, pid, 0, WINEVENT_OUTOFCONTEXT);
        const Control before = radios[at], after = radios[(at + 1) % 3];
        PressDown();
        PumpFor(2000);
        UnhookWinEvent(hook);
        std::printf("after Down:\n");
        CheckOptions(ReadAll(dialog, true), after.name);
        if (!HeardOn(EVENT_OBJECT_FOCUS, after.wnd)) Fail("no focus event on the new choice");
        if (!HeardOn(EVENT_OBJECT_STATECHANGE, after.wnd) ||
            !HeardOn(EVENT_OBJECT_STATECHANGE, before.wnd))
            Fail("no state change events on the two options");

        // The top option's default action chooses it, as a click does.
        if (!DefaultAction(radios[0].wnd)) Fail("the top option has no default action");
        PumpFor(500);
        std::printf("after the default action of %s:\n", Utf8(radios[0].name).c_str());
        CheckOptions(ReadAll(dialog, false), radios[0].name);
    }

    // Cancel pressed by its default action closes the dialog.
    if (!cancel || !DefaultAction(cancel)) Fail("cancel has no default action");
    for (int i = 0; i < 50 && IsWindow(dialog); ++i)
        Sleep(100);
    if (IsWindow(dialog)) {
        Fail("cancel's default action left the dialog open");
        PostMessageW(dialog, WM_CLOSE, 0, 0);
    }
    CoUninitialize();
    std::printf(failures ? "%d failures\n" : "all heard as meant\n", failures);
    return failures ? 1 : 0;
}
