// A top-level test window with a grey background that records the events
// its controls report.
#pragma once

#include "controls.h"

#include <string>
#include <vector>

namespace velumira::test {

constexpr COLORREF kFormGrey = RGB(224, 224, 224);

struct Event {
    std::string what; // "click", "dblclk", "move", "activate"
    int id = 0;
    int value = 0;
    float x = 0, y = 0;
};

class TestForm {
  public:
    TestForm(int width = 400, int height = 240);
    ~TestForm();
    HWND hwnd() const { return hwnd_; }
    std::vector<Event> events;
    int count(const std::string& what) const;
    // When set, a click of this control destroys the form from inside the
    // event handler.
    int destroyOnClickOf = -1;

    static void Pump();

  private:
    static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
    HWND hwnd_ = nullptr;
};

// The pixel reader of a control's surface.
inline auto SurfaceReader(HDC dc) {
    return [dc](int x, int y) -> Colour { return GetPixel(dc, x, y); };
}

} // namespace velumira::test
