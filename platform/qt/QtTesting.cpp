// Qt backend: the test driver. Clicks and keys go through QTest to the real widgets; drops enter
// through the top-level window, so Qt itself picks the widget under the drop point; dialogs
// really open and are answered as soon as they show.
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFontInfo>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QUrl>
#include <QWindow>
#include <deque>
#include <functional>

#include "../Testing.h"
#include "QtInternal.h"

namespace platform::testing {

namespace {

// Answers the dialogs of the kind T, in order, as each one shows.
class DialogAnswerer : public QObject {
public:
    using Answer = std::function<void(QDialog&)>;

    static DialogAnswerer& Instance() {
        static DialogAnswerer* instance = [] {
            auto* answerer = new DialogAnswerer;
            qApp->installEventFilter(answerer);
            return answerer;
        }();
        return *instance;
    }

    void Queue(Answer answer) { answers_.push_back(std::move(answer)); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Show || answers_.empty()) return false;
        auto* dialog = qobject_cast<QDialog*>(watched);
        if (dialog == nullptr ||
            (!qobject_cast<QFileDialog*>(dialog) && !qobject_cast<QMessageBox*>(dialog))) {
            return false;
        }
        Answer answer = std::move(answers_.front());
        answers_.pop_front();
        // Answer once the dialog's own event loop runs.
        QMetaObject::invokeMethod(
            dialog, [dialog, answer] { answer(*dialog); }, Qt::QueuedConnection);
        return false;
    }

private:
    std::deque<Answer> answers_;
};

std::wstring lastPreset;
std::wstring lastMessage;

QWidget& WidgetOf(Control& control) { return *control.impl().widget; }

// Drags the data into the window to the point, then drops it there or leaves: whether the window
// accepted the drag on the way.
bool Drag(Window& window, QPoint at, QMimeData* mime, bool drop) {
    QWindow* handle = window.impl().form.windowHandle();
    const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
    QDragEnterEvent enter(at, actions, mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(handle, &enter);
    QDragMoveEvent move(at, actions, mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(handle, &move);
    if (drop) {
        QDropEvent dropEvent(QPointF(at), actions, mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(handle, &dropEvent);
    } else {
        QDragLeaveEvent leave;
        QCoreApplication::sendEvent(handle, &leave);
    }
    delete mime;
    return enter.isAccepted() && move.isAccepted();
}

void Drop(Window& window, QPoint at, QMimeData* mime) { Drag(window, at, mime, true); }

bool Accepts(Window& window, QPoint at, QMimeData* mime) { return Drag(window, at, mime, false); }

QPoint CenterOf(Control& target) {
    QWidget& widget = WidgetOf(target);
    return widget.mapTo(widget.window(), widget.rect().center());
}

// A file manager's file:// URI: the name's bytes, percent-encoded.
std::string FileUri(const std::wstring& file) {
    const std::string bytes = ToUtf8(file);
    return "file://" + QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()))
                           .toPercentEncoding("/")
                           .toStdString();
}

QMimeData* UrisMime(const std::vector<std::string>& uris) {
    auto* mime = new QMimeData;
    QList<QUrl> urls;
    for (const auto& uri : uris) urls.push_back(QUrl::fromEncoded(QByteArray::fromStdString(uri)));
    mime->setUrls(urls);
    return mime;
}

QMimeData* FilesMime(const std::vector<std::wstring>& files) {
    std::vector<std::string> uris;
    for (const auto& file : files) uris.push_back(FileUri(file));
    return UrisMime(uris);
}

QMimeData* TextMime(const std::wstring& text) {
    auto* mime = new QMimeData;
    mime->setText(ToQString(text));
    return mime;
}

Window& WindowOf(Control& control) { return *control.impl().window; }

void TypeInto(QLineEdit& edit, const std::wstring& text) {
    // A user types into the active window; the offscreen platform activates it only later.
    QApplication::setActiveWindow(edit.window());
    edit.setFocus();
    edit.selectAll();
    QTest::keyClick(&edit, Qt::Key_Delete);
    // Plain keys for ASCII; anything else arrives as an input method commits it.
    for (const QChar c : ToQString(text)) {
        if (c.unicode() < 0x80) {
            QTest::keyClick(&edit, c.toLatin1());
            continue;
        }
        QInputMethodEvent commit;
        commit.setCommitString(QString(c));
        QCoreApplication::sendEvent(&edit, &commit);
    }
}

}  // namespace

void Click(Button& button) { QTest::mouseClick(&WidgetOf(button), Qt::LeftButton); }

void Type(TextBox& box, const std::wstring& text) {
    TypeInto(*static_cast<QLineEdit*>(&WidgetOf(box)), text);
}

void Type(ComboBox& box, const std::wstring& text) {
    TypeInto(*static_cast<QComboBox*>(&WidgetOf(box))->lineEdit(), text);
}

void PickItem(ComboBox& box, int index) {
    auto* combo = static_cast<QComboBox*>(&WidgetOf(box));
    combo->setFocus();
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

void OpenAndCloseList(ComboBox& box) {
    auto* combo = static_cast<QComboBox*>(&WidgetOf(box));
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_F4);
    combo->hidePopup();
}

void DropFiles(Control& target, const std::vector<std::wstring>& files) {
    Drop(WindowOf(target), CenterOf(target), FilesMime(files));
}

void DropFiles(Window& target, const std::vector<std::wstring>& files) {
    // A point of the window's own background, below the guide text and left of the buttons.
    Drop(target, QPoint(2, 2), FilesMime(files));
}

void DropUris(Window& target, const std::vector<std::string>& uris) {
    Drop(target, QPoint(2, 2), UrisMime(uris));
}

void DropText(Control& target, const std::wstring& text) {
    Drop(WindowOf(target), CenterOf(target), TextMime(text));
}

void DropText(Window& target, const std::wstring& text) {
    Drop(target, QPoint(2, 2), TextMime(text));
}

bool FileDragAccepted(Control& target) {
    return Accepts(WindowOf(target), CenterOf(target), FilesMime({L"/dragged.txt"}));
}

bool FileDragAccepted(Window& target) {
    return Accepts(target, QPoint(2, 2), FilesMime({L"/dragged.txt"}));
}

bool TextDragAccepted(Control& target) {
    return Accepts(WindowOf(target), CenterOf(target), TextMime(L"dragged text"));
}

bool TextDragAccepted(Window& target) {
    return Accepts(target, QPoint(2, 2), TextMime(L"dragged text"));
}

void AnswerNextOpenDialog(const std::wstring& fileName) {
    DialogAnswerer::Instance().Queue([fileName](QDialog& dialog) {
        auto& fileDialog = static_cast<QFileDialog&>(dialog);
        lastPreset = FromQString(fileDialog.selectedFiles().value(0));
        fileDialog.selectFile(ToQString(fileName));
        QMetaObject::invokeMethod(&fileDialog, "accept");
    });
}

void CancelNextOpenDialog() {
    DialogAnswerer::Instance().Queue([](QDialog& dialog) {
        lastPreset = FromQString(static_cast<QFileDialog&>(dialog).selectedFiles().value(0));
        dialog.reject();
    });
}

std::wstring LastOpenDialogPreset() { return lastPreset; }

void AnswerNextMessageBox(bool yes) {
    DialogAnswerer::Instance().Queue([yes](QDialog& dialog) {
        auto& box = static_cast<QMessageBox&>(dialog);
        lastMessage = FromQString(box.text());
        // A box with one OK button has no Yes or No: either answer closes it.
        QAbstractButton* button = box.button(yes ? QMessageBox::Yes : QMessageBox::No);
        (button != nullptr ? button : box.button(QMessageBox::Ok))->click();
    });
}

std::wstring LastMessage() { return lastMessage; }

Geometry ControlGeometry(Control& control) {
    const QRect r = WidgetOf(control).geometry();
    return {r.x(), r.y(), r.width(), r.height()};
}

Geometry ClientGeometry(Window& window) {
    const QWidget& form = window.impl().form;
    return {0, 0, form.width(), form.height()};
}

int LogicalDpi(Window& window) { return window.impl().Dpi(); }

std::wstring FontFamily(Control& control) {
    return FromQString(QFontInfo(WidgetOf(control).font()).family());
}

double FontPoints(Control& control) { return WidgetOf(control).font().pointSizeF(); }

std::wstring WindowCaption(Window& window) { return FromQString(window.impl().form.windowTitle()); }

bool HasIcon(Window& window) {
    const QList<QSize> sizes = window.impl().form.windowIcon().availableSizes();
    return sizes.contains(QSize(16, 16)) && sizes.contains(QSize(32, 32));
}

std::vector<std::wstring> TabOrder(Window& window) {
    std::vector<std::wstring> names;
    const auto& controls = window.impl().controls;
    const auto nameOf = [&](QWidget* widget) -> const Control* {
        for (const Control* control : controls) {
            if (control->impl().widget == widget) return control;
        }
        return nullptr;
    };
    QWidget* start = &window.impl().form;
    for (QWidget* w = start->nextInFocusChain(); w != start; w = w->nextInFocusChain()) {
        const Control* control = nameOf(w);
        if (control != nullptr && (w->focusPolicy() & Qt::TabFocus)) {
            names.emplace_back(control->impl().design->name);
        }
    }
    return names;
}

}  // namespace platform::testing
