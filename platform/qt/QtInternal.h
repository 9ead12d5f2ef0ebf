// Qt backend: the hidden halves of the window and control classes, shared by its source files.
#pragma once

#include <QFont>
#include <QWidget>
#include <vector>

#include "../Controls.h"

namespace platform {

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
// Whether a drag carries local files: only those may be dropped, anything else shows no-drop.
bool OffersFiles(const class QMimeData* mime);

// The named font at its size, or the system's Japanese font at that size when it is missing.
QFont MakeFont(const FontSpec& design, const QFont& base);

}  // namespace platform
