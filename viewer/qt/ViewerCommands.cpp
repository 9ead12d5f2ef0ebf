// The window's menus, toolbar and keys, built from the session's command table, and the find and
// go-to-line bars: each turns Qt's events into session calls.
#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QToolBar>

#include "QtCommands.h"
#include "QtText.h"
#include "RowsView.h"
#include "Texts.h"
#include "ViewerWindow.h"

namespace viewer {

namespace {

// A bar under the list: its controls in a row, and a button that closes it.
QWidget* MakeBar(QWidget* parent, QHBoxLayout*& layout) {
    auto* bar = new QWidget(parent);
    layout = new QHBoxLayout(bar);
    layout->setContentsMargins(0, 0, 0, 0);
    bar->hide();
    return bar;
}

}  // namespace

void ViewerWindow::MakeCommands() {
    std::map<Menu, QMenu*> menus;
    toolbar_ = addToolBar(ToQString(texts::kToolbar));
    toolbar_->setMovable(false);
    bool toolbarStarted = false;
    for (const CommandInfo& info : CommandTable()) {
        QMenu* menu = MenuFor(menuBar(), menus, info.menu, info.separatorBefore);
        if (!info.choices.empty()) {
            MakeChoices(info, menu);
            continue;
        }
        QAction* action = AddCommandAction(this, info.label, info.keys, info.checkable);
        action->setToolTip(ToQString(ToolTip(info.command)));
        // The check follows the session, not the click: a stopped comparison leaves it as it was.
        connect(action, &QAction::triggered, this, [this, command = info.command] {
            session_->Run(command);
            UpdateCommands();
        });
        actions_[info.command] = action;
        menu->addAction(action);
        if (info.toolbar) {
            if (toolbarStarted && info.separatorBefore) toolbar_->addSeparator();
            toolbar_->addAction(action);
            toolbarStarted = true;
        }
    }
}

// A submenu of radio items, one per choice; the session says which is checked.
void ViewerWindow::MakeChoices(const CommandInfo& info, QMenu* menu) {
    QMenu* submenu = menu->addMenu(ToQString(info.label));
    auto* group = new QActionGroup(submenu);
    std::vector<QAction*>& actions = choices_[info.command];
    for (std::size_t index = 0; index < info.choices.size(); ++index) {
        QAction* choice = submenu->addAction(ToQString(info.choices[index]));
        choice->setCheckable(true);
        group->addAction(choice);
        connect(choice, &QAction::triggered, this, [this, command = info.command, index] {
            session_->Choose(command, index);
            UpdateCommands();
        });
        actions.push_back(choice);
    }
    actions_[info.command] = submenu->menuAction();
}

void ViewerWindow::UpdateCommands() {
    for (const auto& [command, action] : actions_) {
        action->setEnabled(session_->Enabled(command));
        action->setChecked(session_->Checked(command));
    }
    for (const auto& [command, actions] : choices_) {
        actions[std::min(session_->Chosen(command), actions.size() - 1)]->setChecked(true);
    }
}

QWidget* ViewerWindow::MakeFindBar() {
    QHBoxLayout* layout = nullptr;
    findBar_ = MakeBar(this, layout);
    layout->addWidget(new QLabel(ToQString(texts::kFindLabel), findBar_));
    findText_ = new QLineEdit(findBar_);
    findText_->setPlaceholderText(ToQString(texts::kFindPlaceholder));
    connect(findText_, &QLineEdit::textChanged, this,
            [this](const QString& text) { session_->SetFindText(text.toStdU16String()); });
    connect(findText_, &QLineEdit::returnPressed, this, [this] { session_->Find(true); });
    layout->addWidget(findText_, 1);
    auto* previous = new QPushButton(ToQString(texts::kFindPrevious), findBar_);
    connect(previous, &QPushButton::clicked, this, [this] { session_->Find(false); });
    auto* next = new QPushButton(ToQString(texts::kFindNext), findBar_);
    connect(next, &QPushButton::clicked, this, [this] { session_->Find(true); });
    auto* close = new QPushButton(ToQString(texts::kCloseBar), findBar_);
    connect(close, &QPushButton::clicked, this, [this] { session_->CloseBar(); });
    layout->addWidget(previous);
    layout->addWidget(next);
    layout->addWidget(close);
    return findBar_;
}

QWidget* ViewerWindow::MakeLineBar() {
    QHBoxLayout* layout = nullptr;
    lineBar_ = MakeBar(this, layout);
    layout->addWidget(new QLabel(ToQString(texts::kLineLabel), lineBar_));
    lineFile_ = new QComboBox(lineBar_);
    lineFile_->addItems({ToQString(texts::kLineInFirst), ToQString(texts::kLineInSecond)});
    layout->addWidget(lineFile_);
    lineText_ = new QLineEdit(lineBar_);
    lineText_->setPlaceholderText(ToQString(texts::kLinePlaceholder));
    connect(lineText_, &QLineEdit::returnPressed, this, &ViewerWindow::GoToLine);
    layout->addWidget(lineText_, 1);
    auto* go = new QPushButton(ToQString(texts::kLineGo), lineBar_);
    connect(go, &QPushButton::clicked, this, &ViewerWindow::GoToLine);
    auto* close = new QPushButton(ToQString(texts::kCloseBar), lineBar_);
    connect(close, &QPushButton::clicked, this, [this] { session_->CloseBar(); });
    layout->addWidget(go);
    layout->addWidget(close);
    return lineBar_;
}

void ViewerWindow::GoToLine() {
    session_->GoToLine(lineFile_->currentIndex() == 0 ? Side::First : Side::Second,
                       lineText_->text().toStdU16String());
    if (session_->status().kind != StatusKind::Warning) view_->setFocus();
}

}  // namespace viewer
