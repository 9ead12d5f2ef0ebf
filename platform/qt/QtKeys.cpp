// Qt backend: the window's own keys. Ctrl+O, and Ctrl+V with files on the clipboard, reach the
// window from whichever of its controls has the focus; Enter presses a focused button.
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QPushButton>

#include "QtInternal.h"

namespace platform {

namespace {

// Sees each key before the focused widget does, so that a text box's own Ctrl+V never hides
// copied files from the window.
class WindowKeys : public QObject {
public:
    WindowKeys(Window& owner, QWidget& form) : QObject(&form), owner_(owner), form_(form) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
        auto* widget = static_cast<QWidget*>(watched);
        if (widget->window() != &form_) return false;  // a dialog of the window's has its own
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Open)) {
            if (owner_.onOpenKey) owner_.onOpenKey();
            return true;
        }
        if (key->matches(QKeySequence::Paste)) return PasteFiles();
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        auto* button = qobject_cast<QPushButton*>(widget);
        if (enter && button != nullptr && (key->modifiers() & ~Qt::KeypadModifier) == 0) {
            button->click();
            return true;
        }
        return false;
    }

private:
    // Copied files are taken as a drop; anything else is left to the focused control.
    bool PasteFiles() {
        const DropData files = ToDropData(QGuiApplication::clipboard()->mimeData());
        if (!files.GetFormat(kFileListFormat)) return false;
        if (owner_.onPasteFiles) owner_.onPasteFiles(files);
        return true;
    }

    Window& owner_;
    QWidget& form_;
};

}  // namespace

void InstallWindowKeys(Window& window) {
    qApp->installEventFilter(new WindowKeys(window, window.impl().form));
}

}  // namespace platform
