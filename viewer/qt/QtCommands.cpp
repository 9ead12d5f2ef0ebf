#include "QtCommands.h"

#include <QMessageBox>
#include <QPushButton>

#include "QtText.h"

namespace viewer {

QKeySequence ToKeySequence(const Key& key) {
    int code = 0;
    switch (key.code) {
        case KeyCode::Letter:
            code = Qt::Key_A + (key.letter - 'A');
            break;
        case KeyCode::F2:
            code = Qt::Key_F2;
            break;
        case KeyCode::F3:
            code = Qt::Key_F3;
            break;
        case KeyCode::F5:
            code = Qt::Key_F5;
            break;
        case KeyCode::F7:
            code = Qt::Key_F7;
            break;
        case KeyCode::F8:
            code = Qt::Key_F8;
            break;
        case KeyCode::Home:
            code = Qt::Key_Home;
            break;
        case KeyCode::End:
            code = Qt::Key_End;
            break;
        case KeyCode::Escape:
            code = Qt::Key_Escape;
            break;
        case KeyCode::Left:
            code = Qt::Key_Left;
            break;
        case KeyCode::Right:
            code = Qt::Key_Right;
            break;
    }
    Qt::KeyboardModifiers modifiers;
    if (key.ctrl) modifiers |= Qt::ControlModifier;
    if (key.shift) modifiers |= Qt::ShiftModifier;
    if (key.alt) modifiers |= Qt::AltModifier;
    return QKeySequence(QKeyCombination(modifiers, static_cast<Qt::Key>(code)));
}

Answer AskInBox(QWidget* parent, const std::u16string& question, Buttons buttons) {
    QMessageBox box(QMessageBox::Question, parent->windowTitle(), ToQString(question), {}, parent);
    if (buttons == Buttons::YesNo) {
        QPushButton* yes = box.addButton(QStringLiteral("はい"), QMessageBox::AcceptRole);
        QPushButton* no = box.addButton(QStringLiteral("いいえ"), QMessageBox::RejectRole);
        box.setDefaultButton(no);
        box.setEscapeButton(no);
        box.exec();
        return box.clickedButton() == yes ? Answer::Yes : Answer::No;
    }
    const bool save = buttons == Buttons::SaveDontSaveCancel;
    QPushButton* yes = box.addButton(save ? QStringLiteral("保存") : QStringLiteral("上書き保存"),
                                     QMessageBox::AcceptRole);
    QPushButton* no =
        box.addButton(save ? QStringLiteral("保存しない") : QStringLiteral("比較し直す"),
                      QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(QStringLiteral("キャンセル"), QMessageBox::RejectRole);
    // Overwriting loses the other program's work and comparing again loses this window's: Enter
    // does neither.
    box.setDefaultButton(save ? yes : cancel);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == yes) return Answer::Yes;
    if (box.clickedButton() == no) return Answer::No;
    return Answer::Cancel;
}

}  // namespace viewer
