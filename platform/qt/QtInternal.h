// Qt backend: the hidden halves of the window and control classes, shared by its source files.
#pragma once

#include <QFont>
#include <QString>
#include <QWidget>
#include <string>
#include <vector>

#include "../Controls.h"
#include "../Text.h"

namespace platform {

// Qt's own std::wstring conversions replace the escaped bytes of a file name that is not UTF-8
// (lone U+DC80..U+DCFF) with U+FFFD; these keep them, so such a name survives the widgets.
inline QString ToQString(std::wstring_view text) {
    const std::u16string utf16 = ToUtf16(text);
    return QString(reinterpret_cast<const QChar*>(utf16.data()),
                   static_cast<qsizetype>(utf16.size()));
}
inline std::wstring FromQString(const QString& text) {
    return FromUtf16(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                         static_cast<size_t>(text.size())));
}

// The top-level widget; it takes drops that land on it or on a child that takes none itself.
class FormWidget : public QWidget {
public:
    explicit FormWidget(Window& owner) : owner_(owner) { setAcceptDrops(true); }

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    Window& owner_;
};

struct Window::Impl {
    explicit Impl(Window& owner) : form(owner) {}
    FormWidget form;
    std::vector<Control*> controls;  // in the order they were made
    int Dpi() const { return form.logicalDpiX(); }
};

struct Control::Impl {
    QWidget* widget = nullptr;  // owned by the window's widget tree
    const ControlSpec* design = nullptr;
    Window* window = nullptr;
};

// A drop's data as the application sees it: the local files it carries, if any.
DropData ToDropData(const class QMimeData* mime);
// Whether a drag carries file URIs: only those may be dropped, anything else shows no-drop.
bool OffersFiles(const class QMimeData* mime);

// Ctrl+O, Ctrl+V with copied files, and Enter on a button, for the window and its controls.
void InstallWindowKeys(Window& window);

// The control's accessible name (a label's description) from its row of the layout table.
void NameForScreenReaders(QWidget& widget, const ControlSpec& design);

// The named font at its size, or the system's Japanese font at that size when it is missing.
QFont MakeFont(const FontSpec& design, const QFont& base);

}  // namespace platform
