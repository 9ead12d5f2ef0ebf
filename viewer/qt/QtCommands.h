// What both Qt windows (the comparison and the merge) share of their commands and questions: a
// session key as Qt's, and the session's question in a message box whose buttons say their own
// texts.
#pragma once

#include <QKeySequence>
#include <string>

#include "Commands.h"
#include "SessionView.h"

class QWidget;

namespace viewer {

QKeySequence ToKeySequence(const Key& key);

// Asks in a modal box over `parent`, titled as it is; closing the box answers Cancel (No for
// YesNo). Enter saves in 保存 / 保存しない / キャンセル, and does nothing drastic elsewhere.
Answer AskInBox(QWidget* parent, const std::u16string& question, Buttons buttons);

}  // namespace viewer
