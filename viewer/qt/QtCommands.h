// What both Qt windows (the comparison and the merge) share of their commands and questions: a
// session key as Qt's, and the session's question in a message box whose buttons say their own
// texts.
#pragma once

#include <QKeySequence>
#include <map>
#include <string>
#include <vector>

#include "Commands.h"
#include "SessionView.h"

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

namespace viewer {

QKeySequence ToKeySequence(const Key& key);

// The menu of `bar` that a command of `menu` goes in, made at the first of them (`menus` keeps
// those made); a separator first where the command asks for one.
QMenu* MenuFor(QMenuBar* bar, std::map<Menu, QMenu*>& menus, Menu menu, bool separatorBefore);
// A command's action, labelled, with its keys and checkable as the table says; the window's, so
// that the keys work wherever the focus is in it.
QAction* AddCommandAction(QWidget* window, const std::u16string& label,
                          const std::vector<Key>& keys, bool checkable);

// Asks the session's question in a modal box over `parent`, titled as it is.
Answer AskInBox(QWidget* parent, const Question& question);

}  // namespace viewer
