#include "controls.h"

namespace velumira {

bool RegisterControlClasses(HINSTANCE) {
    return true;
}

ccXPButton* ccXPButton::create(HWND, int, const RECT&, const PropertyBag*) {
    return nullptr;
}
ccXPButton* ccXPButton::fromHwnd(HWND) {
    return nullptr;
}
HWND ccXPButton::hWnd() const {
    return nullptr;
}
std::string ccXPButton::caption() const {
    return {};
}
void ccXPButton::setCaption(const std::string&) {}
bool ccXPButton::enabled() const {
    return true;
}
void ccXPButton::setEnabled(bool) {}
FontDesc ccXPButton::font() const {
    return {};
}
void ccXPButton::setFont(const FontDesc&) {}
Colour ccXPButton::foreColor() const {
    return 0;
}
void ccXPButton::setForeColor(Colour) {}
bool ccXPButton::focusRect() const {
    return true;
}
void ccXPButton::setFocusRect(bool) {}
void ccXPButton::snapMouseTo() {}
void ccXPButton::setDisplayAsDefault(bool) {}
bool ccXPButton::displayAsDefault() const {
    return false;
}
void ccXPButton::loadProperties(const PropertyBag&) {}
void ccXPButton::saveProperties(PropertyBag&) const {}
int ccXPButton::state() const {
    return 0;
}
char ccXPButton::accessKey() const {
    return 0;
}
HDC ccXPButton::surface() const {
    return nullptr;
}

GFXFrameX* GFXFrameX::create(HWND, int, const RECT&, const PropertyBag*) {
    return nullptr;
}
GFXFrameX* GFXFrameX::fromHwnd(HWND) {
    return nullptr;
}
HWND GFXFrameX::hWnd() const {
    return nullptr;
}
long GFXFrameX::frameStyle() const {
    return 1;
}
void GFXFrameX::setFrameStyle(long) {}
int GFXFrameX::shadowOpacity() const {
    return 50;
}
void GFXFrameX::setShadowOpacity(int) {}
bool GFXFrameX::showShadow() const {
    return true;
}
void GFXFrameX::setShowShadow(bool) {}
int GFXFrameX::shadowDepth() const {
    return 5;
}
void GFXFrameX::setShadowDepth(int) {}
Colour GFXFrameX::fillColour() const {
    return 0;
}
void GFXFrameX::setFillColour(Colour) {}
Colour GFXFrameX::backColour() const {
    return 0;
}
void GFXFrameX::setBackColour(Colour) {}
long GFXFrameX::backColourIs() const {
    return 0;
}
void GFXFrameX::setBackColourIs(long) {}
Colour GFXFrameX::borderColour() const {
    return 0;
}
void GFXFrameX::setBorderColour(Colour) {}
int GFXFrameX::cornerDepth() const {
    return 10;
}
void GFXFrameX::setCornerDepth(int) {}
void GFXFrameX::refresh() {}
Colour GFXFrameX::ambientBackColour() const {
    return 0;
}
void GFXFrameX::setAmbientBackColour(Colour) {}
void GFXFrameX::loadProperties(const PropertyBag&) {}
void GFXFrameX::saveProperties(PropertyBag&) const {}
Colour GFXFrameX::surfaceBackColour() const {
    return 0;
}
void GFXFrameX::paintBackground(HWND, HDC) const {}
HDC GFXFrameX::surface() const {
    return nullptr;
}

} // namespace velumira
