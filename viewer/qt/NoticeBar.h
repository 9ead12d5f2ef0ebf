// The bar that says the files changed on disk, with the button that reads them again: the same
// in every window that watches its files.
#pragma once

#include <QWidget>
#include <functional>

namespace viewer {

// The bar, hidden, in the notice colour: its text, and its button calling `reload`.
QWidget* MakeNoticeBar(QWidget* parent, std::function<void()> reload);

}  // namespace viewer
