// The window and its controls, as the application sees them. Each backend implements these
// classes over its native widgets; events are plain std::function members.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "DropData.h"
#include "Layout.h"

namespace platform {

class Window {
public:
    explicit Window(const WindowSpec& design);
    ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // Runs onLoad the first time, then shows the window.
    void Show();
    bool IsVisible() const;

    std::function<void()> onLoad;
    std::function<void(const DropData&)> onDrop;
    // Ctrl+O anywhere in the window.
    std::function<void()> onOpenKey;
    // Ctrl+V anywhere in the window while the clipboard holds files, as a file manager's "Copy"
    // leaves them; with anything else there, the key pastes into a text box as usual.
    std::function<void(const DropData&)> onPasteFiles;

    struct Impl;
    Impl& impl() { return *impl_; }

private:
    std::unique_ptr<Impl> impl_;
    bool loaded_ = false;
};

// Members common to every control: built from its row of the layout table on a window.
class Control {
public:
    Control(Window& window, const ControlSpec& design);
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    // Fired when files or other data are dropped on a control whose row says dropTarget.
    std::function<void(const DropData&)> onDrop;

    struct Impl;
    Impl& impl() { return *impl_; }
    const Impl& impl() const { return *impl_; }

private:
    std::unique_ptr<Impl> impl_;
};

class Label : public Control {
public:
    using Control::Control;
    void SetCaption(const std::wstring& caption);
    std::wstring Caption() const;
};

class TextBox : public Control {
public:
    using Control::Control;
    void SetText(const std::wstring& text);
    std::wstring Text() const;
};

// An editable combo box: free text plus a drop-down list of items.
class ComboBox : public Control {
public:
    using Control::Control;
    void SetText(const std::wstring& text);
    std::wstring Text() const;
    void AddItem(const std::wstring& item, int index);
    void RemoveItem(int index);
    int ListCount() const;
    std::wstring List(int index) const;
};

class Button : public Control {
public:
    using Control::Control;
    std::function<void()> onClick;
};

}  // namespace platform
