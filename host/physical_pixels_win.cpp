#include "physical_pixels_win.h"

#include <windows.h>

#include <cstdint>
#include <initializer_list>

namespace velumira {

namespace {

// Looked up at run time: older systems still start the program.
using SetThreadAwareness = void*(WINAPI*)(void*);
using SetProcessAwareness = HRESULT(WINAPI*)(int);
using SetProcessAware = BOOL(WINAPI*)();

template <typename F> F User32Function(const char* name) {
    return reinterpret_cast<F>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("user32.dll"), name)));
}

void* AwarenessContext(intptr_t value) {
    return reinterpret_cast<void*>(value);
}

constexpr intptr_t kPerMonitorAwareV2 = -4; // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2
constexpr intptr_t kPerMonitorAware = -3;   // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE
constexpr int kProcessPerMonitorAware = 2;  // PROCESS_PER_MONITOR_DPI_AWARE

void MakeProcessAware() {
    if (HMODULE shcore = LoadLibraryA("shcore.dll")) {
        auto set = reinterpret_cast<SetProcessAwareness>(
            reinterpret_cast<void (*)()>(GetProcAddress(shcore, "SetProcessDpiAwareness")));
        const bool done = set && SUCCEEDED(set(kProcessPerMonitorAware));
        FreeLibrary(shcore);
        if (done) return;
    }
    if (auto set = User32Function<SetProcessAware>("SetProcessDPIAware")) set();
}

} // namespace

PhysicalPixelsScope::PhysicalPixelsScope() {
    if (auto set = User32Function<SetThreadAwareness>("SetThreadDpiAwarenessContext")) {
        // The first systems with the per-thread setting know no version 2.
        for (intptr_t context : {kPerMonitorAwareV2, kPerMonitorAware}) {
            previous_ = set(AwarenessContext(context));
            if (previous_) return;
        }
    }
    MakeProcessAware();
}

PhysicalPixelsScope::~PhysicalPixelsScope() {
    if (!previous_) return;
    if (auto set = User32Function<SetThreadAwareness>("SetThreadDpiAwarenessContext"))
        set(previous_);
}

} // namespace velumira
