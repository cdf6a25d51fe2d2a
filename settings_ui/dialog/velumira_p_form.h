// The stored layout of the settings dialog Velumira_P: the form's own
// properties and, for every control, its kind, container, position in twips
// and its stored properties by name. This is the one place the dialog's
// look is written down; the window code only builds what it lists.
#pragma once

#include "property_bag.h"
#include "texts/texts.h"

#include <string>
#include <vector>

namespace velumira {

enum class FormControlKind { Frame, Label, Image, Combo, Button };

struct FormControl {
    std::string name; // control name; arrays share a name and differ by index
    int index;        // index within a control array, -1 for a single control
    FormControlKind kind;
    std::string container;        // name of the containing frame, "" for the form
    int left, top, width, height; // twips, relative to the container
    PropertyBag properties;
};

struct FormDescription {
    std::string caption;
    Colour backColour;
    int clientWidth, clientHeight; // twips
    FontDesc font;                 // font of the form and of every control on it
    // Instead of `font`, the system's message font at the dialog's DPI (for
    // every language but Japanese, whose font is the one it was drawn for).
    bool messageFont = false;
    std::vector<FormControl> controls; // in creation (and tab) order
};

// Colours with the high bit set name a system colour by its index, as the
// form designer stores them (0x80000005 is the window background).
constexpr Colour kSystemColourFlag = 0x80000000u;
constexpr Colour kSysWindow = kSystemColourFlag | 5;
constexpr Colour kSysWindowText = kSystemColourFlag | 8;
constexpr Colour kSysButtonText = kSystemColourFlag | 18;

// Label properties: "Caption"; "BackStyle" 0 transparent, 1 opaque;
// "Alignment" 0 left, 1 right, 2 centre; "BackColor", "ForeColor";
// "MousePointer" 0 default, 99 hand. Image properties: "Picture" names the
// built-in picture (see velumira_p_pictures.h), "" for none.
constexpr long kLabelTransparent = 0;
constexpr long kLabelOpaque = 1;
constexpr long kAlignLeft = 0;
constexpr long kAlignCentre = 2;
constexpr long kPointerDefault = 0;
constexpr long kPointerHand = 99;

// The home page the link label shows and opens.
extern const char kHomePageUrl[];

// The dialog in `language`: its texts (UTF-8) and the places that fit them.
const FormDescription& VelumiraPForm(Language language);

// The control of that name and index, or nullptr.
const FormControl* FindFormControl(const FormDescription& form, const std::string& name,
                                   int index = -1);

// The music options (the indexes of the lbl_BGM array, which are the kinds
// they select) in the order the dialog shows them, top to bottom.
std::vector<int> OptionsTopDown(const FormDescription& form);

// The option `step` rows below `option` (above when negative) in `order`,
// wrapping round at either end as a radio group does; the first option for
// one that is not in `order`.
int OptionAfter(const std::vector<int>& order, int option, int step);

} // namespace velumira
