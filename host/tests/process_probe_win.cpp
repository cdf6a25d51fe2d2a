// Test fixture only: prints what the process owning a top-level window of a
// given title holds, one line per title, for the long-run command to follow:
//   <title> pid=<n> working_set_kb=<n> private_kb=<n> handles=<n> gdi=<n> windows=<n>
// or "<title> none" when no such window exists. Where Wine leaves a figure
// unfilled the nearest real one stands in: private bytes are the committed
// page-file bytes, handles are counted in the system's handle table. Wine
// answers 0 for the GDI object count.

#include <windows.h>

#include <psapi.h>

#include <cstdio>
#include <vector>

namespace {

// NtQuerySystemInformation's handle table, as the native API lays it out.
struct HandleEntry {
    ULONG pid;
    UCHAR type;
    UCHAR flags;
    USHORT value;
    PVOID object;
    ACCESS_MASK access;
};
struct HandleTable {
    ULONG count;
    HandleEntry entries[1];
};
constexpr ULONG kSystemHandleInformation = 16;
constexpr LONG kInfoLengthMismatch = LONG(0xC0000004);

DWORD HandleCount(HANDLE process, DWORD pid) {
    DWORD count = 0;
    if (GetProcessHandleCount(process, &count) && count) return count;
    using Query = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
    auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (!query) return 0;
    std::vector<char> buffer(1 << 16);
    LONG status;
    while ((status = query(kSystemHandleInformation, buffer.data(), ULONG(buffer.size()),
                           nullptr)) == kInfoLengthMismatch)
        buffer.resize(buffer.size() * 2);
    if (status < 0) return 0;
    const auto* table = reinterpret_cast<const HandleTable*>(buffer.data());
    for (ULONG i = 0; i < table->count; ++i)
        if (table->entries[i].pid == pid) ++count;
    return count;
}

struct WindowCount {
    DWORD pid;
    DWORD count;
};

BOOL CALLBACK CountChild(HWND, LPARAM lp) {
    ++reinterpret_cast<WindowCount*>(lp)->count;
    return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND hwnd, LPARAM lp) {
    auto* c = reinterpret_cast<WindowCount*>(lp);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner == c->pid) {
        ++c->count;
        EnumChildWindows(hwnd, CountChild, lp);
    }
    return TRUE;
}

} // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        HWND window = FindWindowA(nullptr, argv[i]);
        DWORD pid = 0;
        if (window) GetWindowThreadProcessId(window, &pid);
        HANDLE process =
            pid ? OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid) : nullptr;
        if (!process) {
            std::printf("%s none\n", argv[i]);
            continue;
        }
        PROCESS_MEMORY_COUNTERS_EX memory = {};
        memory.cb = sizeof memory;
        GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                             sizeof memory);
        const SIZE_T privateBytes =
            memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage;
        WindowCount windows{pid, 0};
        EnumWindows(CountTopLevel, LPARAM(&windows));
        std::printf(
            "%s pid=%lu working_set_kb=%lu private_kb=%lu handles=%lu gdi=%lu windows=%lu\n",
            argv[i], pid, static_cast<unsigned long>(memory.WorkingSetSize / 1024),
            static_cast<unsigned long>(privateBytes / 1024), HandleCount(process, pid),
            GetGuiResources(process, GR_GDIOBJECTS), windows.count);
        CloseHandle(process);
    }
    return 0;
}
