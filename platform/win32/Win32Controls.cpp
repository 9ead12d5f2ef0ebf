// Win32 backend: label, text box, combo box and button as native controls, built from their row
// of the layout table and kept in the layout's keyboard order.
#include <algorithm>

#include "../Error.h"
#include "Win32Internal.h"

namespace platform {

namespace {

// Rows of the drop-down list of a combo box, beyond its closed height.
constexpr int kDropDownRows = 8;

struct NativeClass {
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
};

NativeClass ClassFor(ControlKind kind) {
    constexpr DWORD child = WS_CHILD | WS_VISIBLE;
    switch (kind) {
        case ControlKind::Label:
            // SS_NOTIFY: the label answers hit tests, so a drop over it is its own.
            return {L"STATIC", child | SS_LEFT | SS_NOPREFIX | SS_NOTIFY, 0};
        case ControlKind::TextBox:
            return {L"EDIT", child | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
        case ControlKind::ComboBox:
            return {L"COMBOBOX", child | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL,
                    0};
        case ControlKind::Button:
            return {L"BUTTON", child | WS_TABSTOP | BS_PUSHBUTTON, 0};
    }
    return {L"STATIC", child, 0};
}

// Tab visits the controls in the order of their tab index, which on Windows is the Z-order.
void ApplyTabOrder(std::vector<Control*> controls) {
    std::stable_sort(controls.begin(), controls.end(), [](Control* a, Control* b) {
        return a->impl().design->tabIndex < b->impl().design->tabIndex;
    });
    HWND previous = HWND_TOP;
    for (Control* control : controls) {
        SetWindowPos(control->impl().hwnd, previous, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        previous = control->impl().hwnd;
    }
}

// A drop-down combo box takes its closed height from its font; bring it to the designed height.
void FitComboHeight(HWND combo, int height) {
    RECT rect;
    GetWindowRect(combo, &rect);
    const int closed = rect.bottom - rect.top;
    const auto field = static_cast<int>(SendMessageW(combo, CB_GETITEMHEIGHT, WPARAM(-1), 0));
    if (field <= 0 || closed == height) return;
    const int wanted = field + height - closed;
    if (wanted > 0) SendMessageW(combo, CB_SETITEMHEIGHT, WPARAM(-1), wanted);
}

HWND EditOf(const Control::Impl& impl) { return impl.editHwnd; }

// Runs change on the combo box's item list and puts its text back: the text is the program's
// alone, whatever the list does to its selection.
template <typename Change>
void KeepingText(const Control::Impl& impl, Change change) {
    const std::wstring text = win32::WindowText(impl.hwnd);
    change();
    if (win32::WindowText(impl.hwnd) != text) SetWindowTextW(impl.hwnd, text.c_str());
}

}  // namespace

void Control::Impl::LayOut(int dpi) {
    HFONT font = window->impl().guiFont.Get();
    if (design->font.family != nullptr) {
        ownFont.Reset(win32::MakeNamedFont(design->font, dpi));
        font = ownFont.Get();
    }
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    const int left = TwipsToPixels(design->left, dpi);
    const int top = TwipsToPixels(design->top, dpi);
    const int width = TwipsToPixels(design->width, dpi);
    const int height = TwipsToPixels(design->height, dpi);
    if (design->kind != ControlKind::ComboBox) {
        SetWindowPos(hwnd, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    // A combo box's window height includes its drop-down list.
    SetWindowPos(hwnd, nullptr, left, top, width, height * (kDropDownRows + 1),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    FitComboHeight(hwnd, height);
}

Control::Control(Window& window, const ControlSpec& design) : impl_(std::make_unique<Impl>()) {
    const NativeClass native = ClassFor(design.kind);
    Window::Impl& form = window.impl();
    impl_->design = &design;
    impl_->window = &window;
    impl_->owner = this;
    const auto id = static_cast<INT_PTR>(100 + form.controls.size());
    impl_->hwnd =
        CreateWindowExW(native.exStyle, native.className, design.text, native.style, 0, 0, 0, 0,
                        form.hwnd, reinterpret_cast<HMENU>(id), GetModuleHandleW(nullptr), nullptr);
    if (impl_->hwnd == nullptr) {
        const DWORD error = GetLastError();
        throw Error(L"コントロールを作成できません: " + win32::SystemMessage(error));
    }
    impl_->editHwnd = impl_->hwnd;
    if (design.kind == ControlKind::ComboBox) {
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        if (GetComboBoxInfo(impl_->hwnd, &info) && info.hwndItem != nullptr) {
            impl_->editHwnd = info.hwndItem;
        }
        SetWindowTextW(impl_->hwnd, design.text);
    }
    impl_->LayOut(form.Dpi());
    win32::NameForScreenReaders(*impl_);
    if (design.dropTarget) {
        impl_->drops = std::make_unique<win32::DropRegistration>(impl_->hwnd, onDrop);
    }
    form.controls.push_back(this);
    ApplyTabOrder(form.controls);
}

Control::~Control() {
    impl_->drops.reset();
    auto& controls = impl_->window->impl().controls;
    controls.erase(std::remove(controls.begin(), controls.end(), this), controls.end());
    if (IsWindow(impl_->hwnd)) DestroyWindow(impl_->hwnd);
}

void Label::SetCaption(const std::wstring& caption) {
    SetWindowTextW(impl().hwnd, caption.c_str());
}

std::wstring Label::Caption() const { return win32::WindowText(impl().hwnd); }

void TextBox::SetText(const std::wstring& text) { SetWindowTextW(impl().hwnd, text.c_str()); }
std::wstring TextBox::Text() const { return win32::WindowText(impl().hwnd); }

void ComboBox::SetText(const std::wstring& text) { SetWindowTextW(EditOf(impl()), text.c_str()); }

std::wstring ComboBox::Text() const { return win32::WindowText(EditOf(impl())); }

void ComboBox::AddItem(const std::wstring& item, int index) {
    KeepingText(impl(), [&] {
        SendMessageW(impl().hwnd, CB_INSERTSTRING, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(item.c_str()));
    });
}

void ComboBox::RemoveItem(int index) {
    KeepingText(impl(),
                [&] { SendMessageW(impl().hwnd, CB_DELETESTRING, static_cast<WPARAM>(index), 0); });
}

int ComboBox::ListCount() const {
    const LRESULT count = SendMessageW(impl().hwnd, CB_GETCOUNT, 0, 0);
    return count == CB_ERR ? 0 : static_cast<int>(count);
}

std::wstring ComboBox::List(int index) const {
    const LRESULT length =
        SendMessageW(impl().hwnd, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR) return {};
    std::wstring item(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied = SendMessageW(impl().hwnd, CB_GETLBTEXT, static_cast<WPARAM>(index),
                                        reinterpret_cast<LPARAM>(item.data()));
    item.resize(copied == CB_ERR ? 0 : static_cast<size_t>(copied));
    return item;
}

namespace win32 {

void OnComboNotification(Control::Impl& combo, WORD code) {
    switch (code) {
        case CBN_DROPDOWN:
            combo.textBeforeList = WindowText(combo.editHwnd);
            break;
        case CBN_EDITCHANGE:  // typed while the list is open
            if (combo.textBeforeList) combo.textBeforeList = WindowText(combo.editHwnd);
            break;
        case CBN_SELENDCANCEL:
            if (combo.textBeforeList && WindowText(combo.editHwnd) != *combo.textBeforeList) {
                SetWindowTextW(combo.editHwnd, combo.textBeforeList->c_str());
            }
            combo.textBeforeList.reset();
            break;
        case CBN_SELENDOK:  // an item chosen: its text stands
        case CBN_CLOSEUP:
            combo.textBeforeList.reset();
            break;
    }
}

}  // namespace win32

}  // namespace platform
