#include "property_bag.h"

#include <cerrno>
#include <cstdlib>
#include <sstream>

namespace velumira {

namespace {

bool parseLong(const std::string& text, long& out) {
    if (text.empty()) return false;
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    long v = std::strtol(begin, &end, 0);
    if (errno != 0 || end == begin) return false;
    while (*end == ' ')
        ++end;
    if (*end != '\0') return false;
    out = v;
    return true;
}

bool parseFloat(const std::string& text, float& out) {
    if (text.empty()) return false;
    const char* begin = text.c_str();
    char* end = nullptr;
    float v = std::strtof(begin, &end);
    if (end == begin || *end != '\0') return false;
    out = v;
    return true;
}

std::string formatFloat(float v) {
    std::ostringstream os;
    os.imbue(std::locale::classic());
    os << v;
    return os.str();
}

} // namespace

bool FontDesc::operator==(const FontDesc& o) const {
    return name == o.name && size == o.size && weight == o.weight && italic == o.italic &&
           underline == o.underline && strikethrough == o.strikethrough && charset == o.charset;
}

std::string FontDesc::toText() const {
    return name + ";" + formatFloat(size) + ";" + std::to_string(weight) + ";" +
           (italic ? "1" : "0") + ";" + (underline ? "1" : "0") + ";" +
           (strikethrough ? "1" : "0") + ";" + std::to_string(charset);
}

FontDesc FontDesc::fromText(const std::string& text, const FontDesc& fallback) {
    FontDesc f = fallback;
    std::vector<std::string> parts;
    std::string::size_type start = 0;
    for (;;) {
        auto semi = text.find(';', start);
        parts.push_back(text.substr(start, semi - start));
        if (semi == std::string::npos) break;
        start = semi + 1;
    }
    if (!parts[0].empty()) f.name = parts[0];
    long n = 0;
    float sz = 0;
    if (parts.size() > 1 && parseFloat(parts[1], sz) && sz > 0 && sz <= kMaxSize) f.size = sz;
    if (parts.size() > 2 && parseLong(parts[2], n) && n >= 0 && n <= 1000) f.weight = int(n);
    if (parts.size() > 3 && parseLong(parts[3], n)) f.italic = n != 0;
    if (parts.size() > 4 && parseLong(parts[4], n)) f.underline = n != 0;
    if (parts.size() > 5 && parseLong(parts[5], n)) f.strikethrough = n != 0;
    if (parts.size() > 6 && parseLong(parts[6], n) && n >= 0 && n <= 255) f.charset = int(n);
    return f;
}

PropertyBag::PropertyBag(std::initializer_list<std::pair<std::string, std::string>> entries) {
    for (const auto& e : entries)
        set(e.first, e.second);
}

bool PropertyBag::has(const std::string& name) const {
    return find(name) != nullptr;
}

const std::string* PropertyBag::find(const std::string& name) const {
    for (const auto& e : entries_)
        if (e.first == name) return &e.second;
    return nullptr;
}

void PropertyBag::set(const std::string& name, const std::string& value) {
    for (auto& e : entries_)
        if (e.first == name) {
            e.second = value;
            return;
        }
    entries_.emplace_back(name, value);
}

void PropertyBag::erase(const std::string& name) {
    for (auto it = entries_.begin(); it != entries_.end(); ++it)
        if (it->first == name) {
            entries_.erase(it);
            return;
        }
}

std::string PropertyBag::readString(const std::string& name, const std::string& def) const {
    const std::string* v = find(name);
    return v ? *v : def;
}

long PropertyBag::readInt(const std::string& name, long def) const {
    const std::string* v = find(name);
    long out = def;
    if (v && parseLong(*v, out)) return out;
    return def;
}

bool PropertyBag::readBool(const std::string& name, bool def) const {
    const std::string* v = find(name);
    if (!v) return def;
    if (*v == "True" || *v == "true") return true;
    if (*v == "False" || *v == "false") return false;
    long n = 0;
    if (parseLong(*v, n)) return n != 0;
    return def;
}

Colour PropertyBag::readColour(const std::string& name, Colour def) const {
    const std::string* v = find(name);
    if (!v || v->empty()) return def;
    char* end = nullptr;
    errno = 0;
    unsigned long long n = std::strtoull(v->c_str(), &end, 0);
    if (errno != 0 || *end != '\0' || (*v)[0] == '-' || n > 0xFFFFFFFFull) return def;
    return Colour(n);
}

FontDesc PropertyBag::readFont(const std::string& name, const FontDesc& def) const {
    const std::string* v = find(name);
    return v ? FontDesc::fromText(*v, def) : def;
}

void PropertyBag::writeString(const std::string& name, const std::string& value,
                              const std::string& def) {
    if (value == def)
        erase(name);
    else
        set(name, value);
}

void PropertyBag::writeInt(const std::string& name, long value, long def) {
    if (value == def)
        erase(name);
    else
        set(name, std::to_string(value));
}

void PropertyBag::writeBool(const std::string& name, bool value, bool def) {
    if (value == def)
        erase(name);
    else
        set(name, value ? "True" : "False");
}

void PropertyBag::writeColour(const std::string& name, Colour value, Colour def) {
    if (value == def) {
        erase(name);
        return;
    }
    char buf[16];
    static const char hex[] = "0123456789ABCDEF";
    buf[0] = '0';
    buf[1] = 'x';
    for (int i = 0; i < 8; ++i)
        buf[2 + i] = hex[(value >> (28 - 4 * i)) & 0xF];
    buf[10] = '\0';
    set(name, buf);
}

void PropertyBag::writeFont(const std::string& name, const FontDesc& value) {
    set(name, value.toText());
}

} // namespace velumira
