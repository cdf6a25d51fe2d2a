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
    f.name = "\x82\x6C\x82\x72 \x82\x6F\x83\x53\x83\x56\x83\x62\x83\x4E"; // ＭＳ Ｐゴシック
    f.size = 9.75f;
    f.weight = 400;
    f.charset = 128; // SHIFTJIS_CHARSET
    return f;
}

FormDescription BuildForm() {
    using K = FormControlKind;
    const std::string frame1 = "GFXFrameX1", frame2 = "GFXFrameX2";
    const std::string font = FormFont().toText();
    const std::string grey64 = ColourText(0x404040);

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
        {"lbl", 0, K::Label, frame2, 0, 120, 1845, 195,
         label("BGM", ColourText(0x000000), kLabelTransparent, kAlignCentre)},
        {"Img_BGM", 1, K::Image, frame1, 360, 840, 195, 195, {{"Picture", ""}}},
        {"lbl_BGM", 1, K::Label, frame1, 600, 840, 645, 195,
         label("\x89\xB9\x8A\x79"
               "CD",
               ColourText(kSysButtonText))}, // 音楽CD
        {"BGM_Repeat", -1, K::Combo, frame1, 1440, 780, 615, 300, {{"Text", ""}}},
        {"lbl", 14, K::Label, frame1, 2160, 840, 990, 195,
         label("\x8B\xC8\x96\xDA\x82\xF0\xD8\xCB\xDF\xB0\xC4", // 曲目をﾘﾋﾟｰﾄ
               ColourText(kSysButtonText))},
        {"Img_BGM", 0, K::Image, frame1, 360, 1140, 195, 195, {{"Picture", ""}}},
        {"lbl_BGM", 0, K::Label, frame1, 600, 1140, 330, 195,
         label("\x82\xC8\x82\xB5", ColourText(kSysButtonText))}, // なし
        {"Img_BGM", 2, K::Image, frame1, 360, 1440, 195, 195, {{"Picture", ""}}},
        {"lbl_BGM", 2, K::Label, frame1, 600, 1440, 900, 195,
         label("MP3\x81\x41WAV", ColourText(kSysButtonText))}, // MP3、WAV
        {"Cmd_File",
         -1,
         K::Button,
         frame1,
         600,
         1740,
         435,
         315,
         {{"Caption", "..."}, {"Font", font}}},
        {"lbl_Fname", -1, K::Label, frame1, 1080, 1740, 5655, 495,
         [&] {
             PropertyBag b = label("", ColourText(kSysWindowText), kLabelOpaque);
             b.set("BackColor", ColourText(kSysWindow));
             return b;
         }()},
        {"lbl", 7, K::Label, "", 180, 2880, 2475, 195,
         label("Velumira Project  Ver.1.0.0", grey64)},
        {"lbl_URL", -1, K::Label, "", 240, 3120, 3285, 195,
         [&] {
             PropertyBag b = label(kHomePageUrl, grey64);
             b.set("MousePointer", std::to_string(kPointerHand));
             return b;
         }()},
        {"Cmd_Can",
         -1,
         K::Button,
         "",
         4620,
         2940,
         1215,
         375,
         {{"Caption", "\xB7\xAC\xDD\xBE\xD9"}, {"Font", font}}}, // ｷｬﾝｾﾙ
        {"Cmd_Set",
         -1,
         K::Button,
         "",
         5880,
         2940,
         1215,
         375,
         {{"Caption", "\x90\xDD\x92\xE8"}, {"Font", font}}}, // 設定
        // Templates of the option mark, right of the client area.
        {"Img_Ra", 0, K::Image, "", 8040, 300, 180, 180, {{"Picture", "OptionOff"}}},
        {"Img_Ra", 1, K::Image, "", 8040, 600, 180, 180, {{"Picture", "OptionOn"}}},
    };
    return form;
}

} // namespace

const FormDescription& VelumiraPForm() {
    static const FormDescription form = BuildForm();
    return form;
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
