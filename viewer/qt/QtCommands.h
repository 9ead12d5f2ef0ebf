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

// Asks the session's question in a modal box over `parent`, titled as it is.
Answer AskInBox(QWidget* parent, const Question& question);

}  // namespace viewer
