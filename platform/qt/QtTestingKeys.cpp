// Qt backend: the test driver's keys, clipboard and screen-reader view. Keys go through QTest to
// the focused widget, shortcuts first, as the keyboard's would; names are read back through
// QAccessible, the interface the AT-SPI bridge serves to screen readers.
#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>
#include <QUrl>

#include "../Error.h"
#include "../Testing.h"
#include "QtInternal.h"

namespace platform::testing {

namespace {

QWidget& WidgetOf(Control& control) { return *control.impl().widget; }

// On Linux Qt names an editable combo box by its text, and a screen reader speaks the name of
// the field inside it, which holds the focus.
QAccessibleInterface& AccessibleOf(Control& control) {
    QWidget* widget = &WidgetOf(control);
    if (auto* combo = qobject_cast<QComboBox*>(widget); combo != nullptr && combo->lineEdit())
        widget = combo->lineEdit();
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    if (accessible == nullptr) throw Error(L"no accessible interface");
    return *accessible;
}

}  // namespace

void PressKey(Control& focus, Key key) {
    QWidget& widget = WidgetOf(focus);
    widget.window()->activateWindow();
    widget.setFocus();
    QWidget* target =
        QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : &widget;
    switch (key) {
        case Key::Enter:
            QTest::keyClick(target, Qt::Key_Return);
            break;
        case Key::F4:
            QTest::keyClick(target, Qt::Key_F4);
            break;
        case Key::CtrlO:
            QTest::keyClick(target, Qt::Key_O, Qt::ControlModifier);
            break;
        case Key::CtrlV:
            QTest::keyClick(target, Qt::Key_V, Qt::ControlModifier);
            break;
    }
}

bool IsListDropped(ComboBox& box) {
    const QWidget* popup = static_cast<QComboBox&>(WidgetOf(box)).view()->window();
    return popup != nullptr && popup->isVisible();
}

void CopyFilesToClipboard(const std::vector<std::wstring>& files) {
    auto* mime = new QMimeData;
    QList<QUrl> urls;
    QString names;
    for (const auto& file : files) {
        urls.push_back(QUrl::fromLocalFile(QString::fromStdWString(file)));
        names += QString::fromStdWString(file) + QLatin1Char('\n');
    }
    mime->setUrls(urls);
    mime->setText(names);  // file managers offer the names as text as well
    QGuiApplication::clipboard()->setMimeData(mime);
}

void CopyTextToClipboard(const std::wstring& text) {
    QGuiApplication::clipboard()->setText(QString::fromStdWString(text));
}

std::wstring AccessibleName(Control& control) {
    return AccessibleOf(control).text(QAccessible::Name).toStdWString();
}

std::wstring AccessibleDescription(Control& control) {
    return AccessibleOf(control).text(QAccessible::Description).toStdWString();
}

}  // namespace platform::testing
