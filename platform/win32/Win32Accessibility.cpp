// Win32 backend: what a screen reader hears of each control through MSAA (and UI Automation,
// which reads MSAA objects): the system's own accessible object, named from the layout table;
// a label keeps its caption as its name, says what it is in its description, and announces
// each new caption. Other windows (the viewer's) name their parts through the same object.
#include "ComObject.h"
#include "Win32Internal.h"

#include <commctrl.h>
#include <oleacc.h>

namespace platform::win32 {

namespace {

constexpr UINT_PTR kSubclassId = 0x5A41;

HRESULT Text(const wchar_t* text, BSTR* out) {
    if (out == nullptr) return E_INVALIDARG;
    *out = SysAllocString(text);
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

// What a window's parts are called: the name and the description of the window itself
// (CHILDID_SELF) or of a child (a list's item); an empty text leaves the system's answer.
struct Naming {
    AccessibleText name;
    AccessibleText description;
};

// The naming of a control from its row of the layout table: its name, or a label's description.
Naming ControlNaming(const ControlSpec& design) {
    AccessibleText self = [text = std::wstring(design.accessibleName)](LONG child) {
        return child == CHILDID_SELF ? text : std::wstring();
    };
    if (design.kind == ControlKind::Label) return {nullptr, std::move(self)};
    return {std::move(self), nullptr};
}

// The system's accessible object for a window, with the names and descriptions of its naming;
// everything else is the system's answer.
class NamedAccessible final : public ComObject<IAccessible, kAccessibleId> {
public:
    NamedAccessible(IAccessible* standard, Naming naming)
        : standard_(standard), naming_(std::move(naming)) {
        standard_->AddRef();
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object != nullptr && IsEqualIID(iid, IID_IDispatch)) {
            *object = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        return ComObject::QueryInterface(iid, object);
    }

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (const std::wstring text = Ask(naming_.name, child); !text.empty())
            return Text(text.c_str(), name);
        return standard_->get_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
        if (const std::wstring text = Ask(naming_.description, child); !text.empty())
            return Text(text.c_str(), description);
        return standard_->get_accDescription(child, description);
    }

    // The rest is the system's.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        return standard_->GetTypeInfoCount(count);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
        return standard_->GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override {
        return standard_->GetIDsOfNames(iid, names, count, locale, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argumentError) override {
        return standard_->Invoke(id, iid, locale, flags, params, result, exception, argumentError);
    }
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return standard_->get_accParent(parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        return standard_->get_accChildCount(count);
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        return standard_->get_accChild(child, object);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return standard_->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        return standard_->get_accRole(child, role);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        return standard_->get_accState(child, state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return standard_->get_accHelp(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
        return standard_->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        return standard_->get_accKeyboardShortcut(child, shortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override {
        return standard_->get_accFocus(child);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
        return standard_->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return standard_->get_accDefaultAction(child, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        return standard_->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) override {
        return standard_->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        return standard_->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override {
        return standard_->accHitTest(x, y, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        return standard_->accDoDefaultAction(child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
        return standard_->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return standard_->put_accValue(child, value);
    }

private:
    ~NamedAccessible() override { standard_->Release(); }

    static std::wstring Ask(const AccessibleText& text, const VARIANT& child) {
        if (!text || child.vt != VT_I4) return {};
        return text(child.lVal);
    }

    IAccessible* standard_;
    const Naming naming_;  // a copy: a screen reader may keep the object past the window
};

LRESULT AnswerAccessible(HWND hwnd, WPARAM wParam, LPARAM lParam, const Naming& naming) {
    IAccessible* standard = nullptr;
    if (FAILED(CreateStdAccessibleObject(hwnd, OBJID_CLIENT, kAccessibleId,
                                         reinterpret_cast<void**>(&standard)))) {
        return DefSubclassProc(hwnd, WM_GETOBJECT, wParam, lParam);
    }
    auto* named = new NamedAccessible(standard, naming);
    const LRESULT result = LresultFromObject(kAccessibleId, wParam, named);
    named->Release();
    standard->Release();
    return result;
}

// A new caption is a new name: tell screen readers, once per change.
LRESULT SetCaption(HWND hwnd, WPARAM wParam, LPARAM lParam) {
    const auto* text = reinterpret_cast<const wchar_t*>(lParam);
    const bool changed = WindowText(hwnd) != (text != nullptr ? text : L"");
    const LRESULT result = DefSubclassProc(hwnd, WM_SETTEXT, wParam, lParam);
    if (changed) NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, hwnd, OBJID_CLIENT, CHILDID_SELF);
    return result;
}

// The subclass's data: the naming, and whether a new caption is to be announced.
struct Subclass {
    Naming naming;
    bool announceCaption = false;
};

LRESULT CALLBACK AccessibleProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                DWORD_PTR data) {
    auto* subclass = reinterpret_cast<Subclass*>(data);
    switch (message) {
        case WM_GETOBJECT:
            // The object id travels as a 32-bit value.
            if (static_cast<LONG>(static_cast<DWORD>(lParam)) == OBJID_CLIENT)
                return AnswerAccessible(hwnd, wParam, lParam, subclass->naming);
            break;
        case WM_SETTEXT:
            if (subclass->announceCaption) return SetCaption(hwnd, wParam, lParam);
            break;
        case WM_NCDESTROY:
            RemoveWindowSubclass(hwnd, AccessibleProc, kSubclassId);
            delete subclass;
            break;
        default:
            break;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace

namespace {

void Attach(HWND window, Naming naming, bool announceCaption) {
    auto* data = new Subclass{std::move(naming), announceCaption};
    if (!SetWindowSubclass(window, AccessibleProc, kSubclassId, reinterpret_cast<DWORD_PTR>(data)))
        delete data;
}

}  // namespace

void NameForScreenReaders(const Control::Impl& control) {
    const ControlSpec& design = *control.design;
    if (design.accessibleName == nullptr) return;
    const bool label = design.kind == ControlKind::Label;
    Attach(control.hwnd, ControlNaming(design), label);
    // The focus rests in a combo box's own edit field: it bears the same name.
    if (control.editHwnd != control.hwnd) Attach(control.editHwnd, ControlNaming(design), label);
}

void NameForScreenReaders(HWND window, AccessibleText name) {
    Attach(window, {std::move(name), nullptr}, false);
}

}  // namespace platform::win32
