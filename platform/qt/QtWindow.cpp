// Qt backend: the top-level window, sized in twips, with the program's icon and the drops that
// reach it.
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QIcon>

#include "QtInternal.h"

namespace platform {

void FormWidget::dragEnterEvent(QDragEnterEvent* event) { dragMoveEvent(event); }

void FormWidget::dragMoveEvent(QDragMoveEvent* event) {
    if (OffersFiles(event->mimeData())) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void FormWidget::dropEvent(QDropEvent* event) {
    event->acceptProposedAction();
    if (owner_.onDrop) owner_.onDrop(ToDropData(event->mimeData()));
}

Window::Window(const WindowSpec& design) : impl_(std::make_unique<Impl>(*this)) {
    QWidget& form = impl_->form;
    form.setWindowTitle(QString::fromWCharArray(design.caption));
    form.setWindowIcon(QIcon(QStringLiteral(":/zarvo.ico")));
    const int dpi = impl_->Dpi();
    form.resize(TwipsToPixels(design.clientWidth, dpi), TwipsToPixels(design.clientHeight, dpi));
    InstallWindowKeys(*this);
}

Window::~Window() = default;

void Window::Show() {
    if (!loaded_) {
        loaded_ = true;
        if (onLoad) onLoad();
    }
    impl_->form.show();
    impl_->form.activateWindow();
}

bool Window::IsVisible() const { return impl_->form.isVisible(); }

}  // namespace platform
