#include "LineEditor.h"

#include <QKeyEvent>
#include <limits>

#include "QtText.h"

namespace viewer {

namespace {

bool EndsEdit(const QKeyEvent* key) {
    const bool plain = (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    return plain && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter ||
                     key->key() == Qt::Key_Escape);
}

}  // namespace

LineEditor::LineEditor(QWidget* parent) : QLineEdit(parent) {
    setAccessibleName(QStringLiteral("行を編集"));
    // A frame round the row's text, on white: the text where it was drawn in the row.
    setStyleSheet(QStringLiteral("QLineEdit { border: 1px solid %1; padding: 0 0 0 1px; "
                                 "background: %2; color: %3; }")
                      .arg(ToQColor(ColourRole::CurrentFrame).name(),
                           ToQColor(ColourRole::Base).name(), ToQColor(ColourRole::Text).name()));
    // A line edit holds 32,767 characters unless told: a longer line would be cut, and saved so.
    setMaxLength(std::numeric_limits<int>::max());
    hide();
}

bool LineEditor::event(QEvent* event) {
    // Asked first whether a key is a shortcut: Enter and Esc are the editor's own.
    if (event->type() == QEvent::ShortcutOverride && EndsEdit(static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    return QLineEdit::event(event);
}

void LineEditor::keyPressEvent(QKeyEvent* event) {
    if (EndsEdit(event)) {
        emit finished(event->key() != Qt::Key_Escape);
        return;
    }
    QLineEdit::keyPressEvent(event);
    // Up, Down, Page Up… would move the list's current row under the editor.
    event->accept();
}

void LineEditor::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // A menu opened or another window activated: the edit goes on when the focus comes back.
    if (event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason) {
        return;
    }
    if (isVisible()) emit finished(true);
}

}  // namespace viewer
