#include "QtCommands.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <vector>

#include "QtText.h"

namespace viewer {

QMenu* MenuFor(QMenuBar* bar, std::map<Menu, QMenu*>& menus, Menu menu, bool separatorBefore) {
    QMenu*& made = menus[menu];
    if (made == nullptr) {
        made = bar->addMenu(ToQString(MenuTitle(menu)));
    } else if (separatorBefore) {
        made->addSeparator();
    }
    return made;
}

QAction* AddCommandAction(QWidget* window, const std::u16string& label,
                          const std::vector<Key>& keys, bool checkable) {
    auto* action = new QAction(ToQString(label), window);
    QList<QKeySequence> sequences;
    for (const Key& key : keys) sequences << ToKeySequence(key);
    action->setShortcuts(sequences);
    action->setCheckable(checkable);
    window->addAction(action);
    return action;
}

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

Answer AskInBox(QWidget* parent, const Question& question) {
    QMessageBox box(question.warning ? QMessageBox::Warning : QMessageBox::Question,
                    parent->windowTitle(), ToQString(question.text), {}, parent);
    std::vector<QPushButton*> buttons;
    for (const QuestionButton& button : question.buttons) {
        buttons.push_back(box.addButton(ToQString(button.label), QMessageBox::ActionRole));
    }
    if (buttons.empty()) return question.dismissed;
    box.setDefaultButton(buttons[question.ButtonOf(question.preferred)]);
    box.setEscapeButton(buttons[question.ButtonOf(question.dismissed)]);
    box.exec();
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        if (box.clickedButton() == buttons[i]) return question.buttons[i].answer;
    }
    return question.dismissed;
}

}  // namespace viewer
