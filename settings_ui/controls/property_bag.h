// Named property storage for the custom controls: the dialog keeps each
// control's stored properties as a small table of name -> text (its "form
// file"), and every control reads and writes its properties by name with a
// default. Platform-free.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace velumira {

// 0x00BBGGRR, red in the low byte (the same layout as the platform's COLORREF).
using Colour = std::uint32_t;

// A font as the controls persist it. Size is in points.
struct FontDesc {
    std::string name = "Verdana";
    float size = 8.25f;
    int weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikethrough = false;
    int charset = 1; // DEFAULT_CHARSET

    // Largest size read back: far above any control's font, and small enough
    // that the pixel height made from it fits an int at any screen DPI.
    static constexpr float kMaxSize = 2048.0f;

    bool operator==(const FontDesc& o) const;
    bool operator!=(const FontDesc& o) const { return !(*this == o); }
    // "name;size;weight;italic;underline;strikethrough;charset"
    std::string toText() const;
    // Fields missing or unreadable (a size outside 0 < size <= kMaxSize
    // included) keep the values of `fallback`.
    static FontDesc fromText(const std::string& text, const FontDesc& fallback);
};

// Entries keep the order they were written in, so a save lists the
// properties in the order the control writes them.
class PropertyBag {
  public:
    PropertyBag() = default;
    PropertyBag(std::initializer_list<std::pair<std::string, std::string>> entries);

    bool has(const std::string& name) const;
    // The stored text, or nullptr when the name is absent.
    const std::string* find(const std::string& name) const;
    void set(const std::string& name, const std::string& value);
    void erase(const std::string& name);
    const std::vector<std::pair<std::string, std::string>>& entries() const { return entries_; }
    bool empty() const { return entries_.empty(); }

    // Typed reads: absent or unreadable values give the default.
    std::string readString(const std::string& name, const std::string& def) const;
    long readInt(const std::string& name, long def) const;
    bool readBool(const std::string& name, bool def) const;
    Colour readColour(const std::string& name, Colour def) const;
    FontDesc readFont(const std::string& name, const FontDesc& def) const;

    // Typed writes: a value equal to its default is not stored (and an
    // earlier stored value of that name is removed), so saved data only
    // carries what differs from the defaults.
    void writeString(const std::string& name, const std::string& value, const std::string& def);
    void writeInt(const std::string& name, long value, long def);
    void writeBool(const std::string& name, bool value, bool def);
    void writeColour(const std::string& name, Colour value, Colour def);
    // Fonts are written every time.
    void writeFont(const std::string& name, const FontDesc& value);

  private:
    std::vector<std::pair<std::string, std::string>> entries_;
};

} // namespace velumira
