// Saved control properties as a form file may hold them after any edit: one
// "name=value" per line. Both controls load them the way their windows do,
// and what they save loads back unchanged.
#include "frame_core.h"
#include "fuzz/fuzz_check.h"
#include "property_bag.h"

#include <string>

using namespace velumira;

namespace {

PropertyBag ParseBag(const std::string& text) {
    PropertyBag bag;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(start, end - start);
        const size_t eq = line.find('=');
        if (eq != std::string::npos) bag.set(line.substr(0, eq), line.substr(eq + 1));
        start = end + 1;
    }
    return bag;
}

bool SameFrame(const FrameProps& a, const FrameProps& b) {
    return a.frameStyle == b.frameStyle && a.shadowOpacity == b.shadowOpacity &&
           a.showShadow == b.showShadow && a.shadowDepth == b.shadowDepth &&
           a.fillColour == b.fillColour && a.backColour == b.backColour &&
           a.backColourIs == b.backColourIs && a.borderColour == b.borderColour &&
           a.cornerDepth == b.cornerDepth;
}

void CheckFrame(const PropertyBag& bag) {
    const Colour container = 0x00E0E0E0;
    FrameProps p;
    p.load(bag, container);
    FUZZ_CHECK(p.shadowOpacity >= 0 && p.shadowOpacity <= 100);
    FUZZ_CHECK(p.shadowDepth >= FrameProps::kMinShadowDepth &&
               p.shadowDepth <= FrameProps::kMaxShadowDepth);
    FUZZ_CHECK(p.cornerDepth >= 0 && p.cornerDepth <= FrameProps::kMaxCornerDepth);
    PropertyBag saved;
    p.save(saved, container);
    FrameProps again;
    again.load(saved, container);
    FUZZ_CHECK(SameFrame(p, again));
}

// The button's reads, in its order, and its save read back.
void CheckButton(const PropertyBag& bag) {
    const std::string caption = bag.readString("Caption", "&OK");
    const Colour fore = bag.readColour("ForeColor", 0);
    const FontDesc font = bag.readFont("Font", FontDesc());
    const bool focusRect = bag.readBool("FocusRect", true);
    const bool enabled = bag.readBool("Enabled", true);

    // The window turns the size into a pixel height with the screen's DPI.
    FUZZ_CHECK(font.size > 0 && font.size <= FontDesc::kMaxSize);
    FUZZ_CHECK(font.weight >= 0 && font.weight <= 1000);
    FUZZ_CHECK(font.charset >= 0 && font.charset <= 255);

    PropertyBag saved;
    saved.writeString("Caption", caption, "&OK");
    saved.writeBool("Enabled", enabled, true);
    saved.writeColour("ForeColor", fore, 0);
    saved.writeFont("Font", font);
    saved.writeBool("FocusRect", focusRect, true);
    FUZZ_CHECK(saved.readString("Caption", "&OK") == caption);
    FUZZ_CHECK(saved.readColour("ForeColor", 0) == fore);
    FUZZ_CHECK(saved.readBool("FocusRect", true) == focusRect);
    FUZZ_CHECK(saved.readBool("Enabled", true) == enabled);
    const FontDesc reread = saved.readFont("Font", FontDesc());
    FUZZ_CHECK(reread.name == font.name && reread.weight == font.weight &&
               reread.charset == font.charset && reread.italic == font.italic &&
               reread.underline == font.underline && reread.strikethrough == font.strikethrough);
    FUZZ_CHECK(reread.size > 0 && reread.size <= FontDesc::kMaxSize);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const PropertyBag bag = ParseBag(std::string(reinterpret_cast<const char*>(data), size));
    CheckFrame(bag);
    CheckButton(bag);
    return 0;
}
