#include "velumira_p_form.h"

#include <algorithm>
#include <cstdio>

namespace velumira {

const char kHomePageUrl[] = "https://velumira.example.com/";

namespace {

std::string ColourText(Colour c) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%08X", static_cast<unsigned>(c));
    return buf;
}

FontDesc FormFont() {
    FontDesc f;
    f.name = u8"ＭＳ Ｐゴシック";
    f.size = 9.75f;
    f.weight = 400;
    f.charset = 128; // SHIFTJIS_CHARSET
    return f;
}

FormDescription BuildForm(Language language) {
    using K = FormControlKind;
    const Texts& t = TextsFor(language);
    const bool japanese = language == Language::Japanese;
    const std::string frame1 = "GFXFrameX1", frame2 = "GFXFrameX2";
    const std::string grey64 = ColourText(0x404040);
    // The buttons take the Japanese font by name; the message font reaches
    // them from the dialog.
    auto button = [&](const char* caption) {
        PropertyBag b{{"Caption", caption}};
        if (japanese) b.set("Font", FormFont().toText());
        return b;
    };
    // The message font is taller than the Japanese one and its words are
    // longer: the English labels are a line of it tall, and wide enough for
    // the widest such font at any DPI.
    const int line = japanese ? 195 : 270;
    const int cdWidth = japanese ? 645 : 1020;
    const int comboLeft = japanese ? 1440 : 1680;
    const int repeatLeft = japanese ? 2160 : 2400, repeatWidth = japanese ? 990 : 1800;
    const int noneWidth = japanese ? 330 : 1200;
    const int fileWidth = japanese ? 900 : 2400;
    const int creditTop = japanese ? 2880 : 2835, urlTop = japanese ? 3120 : 3105;

    auto label = [](const std::string& caption, const std::string& foreColour,
                    long backStyle = kLabelTransparent, long alignment = kAlignLeft) {
        return PropertyBag{{"Caption", caption},
                           {"BackStyle", std::to_string(backStyle)},
                           {"Alignment", std::to_string(alignment)},
                           {"ForeColor", foreColour}};
    };

    FormDescription form;
    form.caption = "<Velumira>";
    form.backColour = 0xE0E0E0; // RGB(224,224,224)
    form.clientWidth = 7350;
    form.clientHeight = 3585;
    form.font = FormFont();
    form.messageFont = !japanese;
    form.controls = {
        {"GFXFrameX1", -1, K::Frame, "", 180, 240, 7035, 2535, {}},
        // The title box paints in its container's colour (BackColourIs 0);
        // the stored grey only shows if BackColourIs is ever switched on.
        {"GFXFrameX2",
         -1,
         K::Frame,
         frame1,
         240,
         240,
         1935,
         495,
         {{"BackColour", ColourText(0xC0C0C0)}, {"BackColourIs", "0"}}},
        {"lbl", 0, K::Label, frame2, 0, 120, 1845, line,
         label(t.musicCaption, ColourText(0x000000), kLabelTransparent, kAlignCentre)},
        {"Img_BGM", 1, K::Image, frame1, 360, 840, 195, 195, {{"Picture", ""}}},
        {"lbl_BGM", 1, K::Label, frame1, 600, 840, cdWidth, line,
         label(t.audioCd, ColourText(kSysButtonText))},
        {"BGM_Repeat", -1, K::Combo, frame1, comboLeft, 780, 615, 300, {{"Text", ""}}},
        {"lbl", 14, K::Label, frame1, repeatLeft, 840, repeatWidth, line,
         label(t.repeatTrack, ColourText(kSysButtonText))},
        {"Img_BGM", 0, K::Image, frame1, 360, 1140, 195, 195, {{"Picture", ""}}},
        {"lbl_BGM", 0, K::Label, frame1, 600, 1140, noneWidth, line,
         label(t.noMusic, ColourText(kSysButtonText))},
        {"Img_BGM", 2, K::Image, frame1, 360, 1440, 195, 195, {{"Picture", ""}}},
        {"lbl_BGM", 2, K::Label, frame1, 600, 1440, fileWidth, line,
         label(t.musicFile, ColourText(kSysButtonText))},
        {"Cmd_File", -1, K::Button, frame1, 600, 1740, 435, 315, button("...")},
        {"lbl_Fname", -1, K::Label, frame1, 1080, 1740, 5655, 495,
         [&] {
             PropertyBag b = label("", ColourText(kSysWindowText), kLabelOpaque);
             b.set("BackColor", ColourText(kSysWindow));
             return b;
         }()},
        // Wide enough for the whole version number in either font.
        {"lbl", 7, K::Label, "", 180, creditTop, 3300, line,
         label("Velumira Project  Ver.1.0.0", grey64)},
        {"lbl_URL", -1, K::Label, "", 240, urlTop, 3285, line,
         [&] {
             PropertyBag b = label(kHomePageUrl, grey64);
             b.set("MousePointer", std::to_string(kPointerHand));
             return b;
         }()},
        {"Cmd_Can", -1, K::Button, "", 4620, 2940, 1215, 375, button(t.cancel)},
        {"Cmd_Set", -1, K::Button, "", 5880, 2940, 1215, 375, button(t.apply)},
        // Templates of the option mark, right of the client area.
        {"Img_Ra", 0, K::Image, "", 8040, 300, 180, 180, {{"Picture", "OptionOff"}}},
        {"Img_Ra", 1, K::Image, "", 8040, 600, 180, 180, {{"Picture", "OptionOn"}}},
    };
    return form;
}

} // namespace

const FormDescription& VelumiraPForm(Language language) {
    static const FormDescription japanese = BuildForm(Language::Japanese);
    static const FormDescription english = BuildForm(Language::English);
    return language == Language::Japanese ? japanese : english;
}

const FormControl* FindFormControl(const FormDescription& form, const std::string& name,
                                   int index) {
    for (const FormControl& c : form.controls)
        if (c.name == name && c.index == index) return &c;
    return nullptr;
}

std::vector<int> OptionsTopDown(const FormDescription& form) {
    std::vector<const FormControl*> labels;
    for (const FormControl& c : form.controls)
        if (c.name == "lbl_BGM") labels.push_back(&c);
    std::stable_sort(labels.begin(), labels.end(),
                     [](const FormControl* a, const FormControl* b) { return a->top < b->top; });
    std::vector<int> order;
    for (const FormControl* c : labels)
        order.push_back(c->index);
    return order;
}

int OptionAfter(const std::vector<int>& order, int option, int step) {
    const auto at = std::find(order.begin(), order.end(), option);
    if (order.empty()) return option;
    if (at == order.end()) return order.front();
    const int n = static_cast<int>(order.size());
    const int i = static_cast<int>(at - order.begin());
    return order[static_cast<size_t>(((i + step) % n + n) % n)];
}

} // namespace velumira
