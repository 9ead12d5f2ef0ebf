// How a window describes its controls to the backend: positions in twips, texts, fonts,
// keyboard order, which controls take file drops and what a screen reader calls them. The window's
// own table lives in app/.
#pragma once

namespace platform {

enum class ControlKind { Label, TextBox, ComboBox, Button };

struct FontSpec {
    const wchar_t* family = nullptr;  // nullptr: the system's default control font
    double points = 0;
};

struct ControlSpec {
    const wchar_t* name;
    ControlKind kind;
    int left, top, width, height;  // twips from the client area's top-left corner
    const wchar_t* text;
    FontSpec font;
    int tabIndex;
    bool dropTarget;
    // What a screen reader calls the control. A label is named by its caption, which it speaks
    // as the caption changes; this text then describes what the label is.
    const wchar_t* accessibleName;
};

struct WindowSpec {
    const wchar_t* caption;
    int clientWidth, clientHeight;  // twips
};

// 1440 twips to the inch, at the screen's logical resolution.
constexpr int TwipsToPixels(int twips, int dotsPerInch) {
    return (twips * dotsPerInch + 720) / 1440;
}

}  // namespace platform
