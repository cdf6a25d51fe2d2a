#include "accessible_win.h"

#include <oleacc.h>

#include <cwctype>

namespace velumira {

namespace {

// Written out: some import libraries define IID_IAccessible wrongly.
const IID kIIDAccessible = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

bool IsSelf(const VARIANT& v) {
    return v.vt == VT_I4 && v.lVal == CHILDID_SELF;
}

HRESULT ReturnText(const std::wstring& text, BSTR* out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (text.empty()) return S_FALSE;
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT ReturnLong(long value, VARIANT* out) {
    if (!out) return E_POINTER;
    VariantInit(out);
    out->vt = VT_I4;
    out->lVal = value;
    return S_OK;
}

// A control placed beyond its top-level window's client area (a template
// kept out of sight) can never be seen.
bool OutsideItsWindow(HWND wnd) {
    HWND top = GetAncestor(wnd, GA_ROOT);
    RECT own, client, common;
    if (!top || top == wnd || !GetWindowRect(wnd, &own) || !GetClientRect(top, &client))
        return false;
    MapWindowPoints(top, nullptr, reinterpret_cast<POINT*>(&client), 2);
    return !IntersectRect(&common, &own, &client);
}

// Role, name, state and default action are the control's own; where the
// window sits, its parent, its children and the way between them are what
// the platform's object for any window knows, so those are asked of it.
class AccessibleObject : public IAccessible {
  public:
    AccessibleObject(HWND wnd, const AccessibleTraits& traits) : wnd_(wnd), traits_(traits) {
        if (FAILED(CreateStdAccessibleObject(wnd, OBJID_CLIENT, kIIDAccessible,
                                             reinterpret_cast<void**>(&standard_))))
            standard_ = nullptr;
    }
    AccessibleObject(const AccessibleObject&) = delete;
    AccessibleObject& operator=(const AccessibleObject&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
            IsEqualIID(riid, kIIDAccessible)) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(InterlockedIncrement(&refs_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&refs_);
        if (left == 0) delete this;
        return ULONG(left);
    }

    // IDispatch: readers call IAccessible directly.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }

    // IAccessible: the control's own answers.
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT id, BSTR* out) override {
        if (!IsSelf(id)) return standard_ ? standard_->get_accName(id, out) : E_INVALIDARG;
        if (!IsWindow(wnd_)) return E_FAIL;
        return ReturnText(traits_.name ? traits_.name() : WithoutAccessKeyMarks(WindowTextOf(wnd_)),
                          out);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT id, VARIANT* out) override {
        if (!IsSelf(id)) return standard_ ? standard_->get_accRole(id, out) : E_INVALIDARG;
        return ReturnLong(traits_.role, out);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT id, VARIANT* out) override {
        if (!IsSelf(id)) return standard_ ? standard_->get_accState(id, out) : E_INVALIDARG;
        if (!IsWindow(wnd_)) return E_FAIL;
        long state = traits_.state ? traits_.state() : 0;
        if (!IsWindowVisible(wnd_))
            state |= STATE_SYSTEM_INVISIBLE;
        else if (OutsideItsWindow(wnd_))
            state |= STATE_SYSTEM_OFFSCREEN;
        if (!IsWindowEnabled(wnd_)) {
            state |= STATE_SYSTEM_UNAVAILABLE;
        } else if (traits_.focusable || (GetWindowLongW(wnd_, GWL_STYLE) & WS_TABSTOP)) {
            state |= STATE_SYSTEM_FOCUSABLE;
            if (GetFocus() == wnd_) state |= STATE_SYSTEM_FOCUSED;
        }
        return ReturnLong(state, out);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT id, BSTR* out) override {
        if (!IsSelf(id)) return standard_ ? standard_->get_accDefaultAction(id, out) : E_INVALIDARG;
        return ReturnText(traits_.defaultAction, out);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT id) override {
        if (!IsSelf(id)) return standard_ ? standard_->accDoDefaultAction(id) : E_INVALIDARG;
        if (traits_.defaultAction.empty()) return DISP_E_MEMBERNOTFOUND;
        if (!IsWindow(wnd_) || !IsWindowEnabled(wnd_)) return E_FAIL;
        return PostMessageW(wnd_, kAccessibleDoDefault, 0, 0) ? S_OK : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT id, BSTR* out) override {
        if (!IsSelf(id))
            return standard_ ? standard_->get_accKeyboardShortcut(id, out) : E_INVALIDARG;
        const std::wstring text = WindowTextOf(wnd_);
        for (size_t i = 0; i + 1 < text.size(); ++i) {
            if (text[i] != L'&') continue;
            if (text[i + 1] == L'&') {
                ++i;
                continue;
            }
            return ReturnText(std::wstring(L"Alt+") + wchar_t(std::towupper(text[i + 1])), out);
        }
        return ReturnText(std::wstring(), out);
    }

    // IAccessible: the platform's answers for any window.
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** out) override {
        return standard_ ? standard_->get_accParent(out) : E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* out) override {
        return standard_ ? standard_->get_accChildCount(out) : E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT id, IDispatch** out) override {
        return standard_ ? standard_->get_accChild(id, out) : E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT id, BSTR* out) override {
        return standard_ ? standard_->get_accValue(id, out) : E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT id, BSTR* out) override {
        return standard_ ? standard_->get_accDescription(id, out) : E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT id, BSTR* out) override {
        return standard_ ? standard_->get_accHelp(id, out) : E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT id, LONG* topic) override {
        return standard_ ? standard_->get_accHelpTopic(file, id, topic) : E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* out) override {
        return standard_ ? standard_->get_accFocus(out) : E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* out) override {
        return standard_ ? standard_->get_accSelection(out) : E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT id) override {
        return standard_ ? standard_->accSelect(flags, id) : E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* x, LONG* y, LONG* w, LONG* h, VARIANT id) override {
        return standard_ ? standard_->accLocation(x, y, w, h, id) : E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG dir, VARIANT start, VARIANT* out) override {
        return standard_ ? standard_->accNavigate(dir, start, out) : E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* out) override {
        return standard_ ? standard_->accHitTest(x, y, out) : E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

  private:
    virtual ~AccessibleObject() {
        if (standard_) standard_->Release();
    }

    LONG refs_ = 1;
    HWND wnd_;
    AccessibleTraits traits_;
    IAccessible* standard_ = nullptr;
};

} // namespace

LRESULT AnswerGetObject(HWND wnd, WPARAM wp, LPARAM lp, const AccessibleTraits& traits) {
    if (static_cast<LONG>(static_cast<DWORD>(lp)) != OBJID_CLIENT)
        return DefWindowProcW(wnd, WM_GETOBJECT, wp, lp);
    auto* object = new AccessibleObject(wnd, traits);
    const LRESULT result = LresultFromObject(kIIDAccessible, wp, object);
    object->Release();
    // Without COM on this thread the platform's plain answer is still better
    // than none.
    if (result < 0) return DefWindowProcW(wnd, WM_GETOBJECT, wp, lp);
    return result;
}

void NotifyAccessible(DWORD event, HWND wnd) {
    NotifyWinEvent(event, wnd, OBJID_CLIENT, CHILDID_SELF);
}

std::wstring WithoutAccessKeyMarks(const std::wstring& caption) {
    std::wstring read;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == L'&') {
            if (i + 1 == caption.size()) break;
            ++i;
        }
        read += caption[i];
    }
    return read;
}

std::wstring WindowTextOf(HWND wnd) {
    const int n = GetWindowTextLengthW(wnd);
    if (n <= 0) return std::wstring();
    std::wstring text(size_t(n) + 1, L'\0');
    text.resize(size_t(GetWindowTextW(wnd, &text[0], n + 1)));
    return text;
}

} // namespace velumira
