// Qt backend: label, text box, combo box and button, built from their row of the layout table.
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

#include "QtInternal.h"

namespace platform {

namespace {

// Takes every drag and drop aimed at a drop-target control before the widget's own handling
// (a line edit would insert dropped text) and hands the drop to the control's onDrop.
class DropFilter : public QObject {
public:
    DropFilter(Control& control, QObject* parent) : QObject(parent), control_(control) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
            case QEvent::DragEnter:
            case QEvent::DragMove: {
                auto* drag = static_cast<QDragMoveEvent*>(event);
                if (OffersFiles(drag->mimeData())) {
                    drag->acceptProposedAction();
                } else {
                    drag->ignore();
                }
                return true;
            }
            case QEvent::DragLeave:
                return true;
            case QEvent::Drop: {
                auto* drop = static_cast<QDropEvent*>(event);
                drop->acceptProposedAction();
                if (control_.onDrop) control_.onDrop(ToDropData(drop->mimeData()));
                return true;
            }
            default:
                return false;
        }
    }

private:
    Control& control_;
};

QWidget* MakeWidget(const ControlSpec& design, QWidget* parent) {
    const QString text = QString::fromWCharArray(design.text);
    switch (design.kind) {
        case ControlKind::Label: {
            auto* label = new QLabel(text, parent);
            label->setWordWrap(true);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            return label;
        }
        case ControlKind::TextBox: {
            auto* edit = new QLineEdit(text, parent);
            edit->setAcceptDrops(design.dropTarget);
            return edit;
        }
        case ControlKind::ComboBox: {
            auto* combo = new QComboBox(parent);
            combo->setEditable(true);
            // The item list is the program's: Enter in the box must not add items of its own.
            combo->setInsertPolicy(QComboBox::NoInsert);
            // What the user types is what the tool gets: no inline completion from the history
            // (a typed "a.txt" must not become "a.txt.orig", nor "report" become "Report").
            combo->setCompleter(nullptr);
            combo->lineEdit()->setAcceptDrops(design.dropTarget);
            combo->setEditText(text);
            return combo;
        }
        case ControlKind::Button:
            return new QPushButton(text, parent);
    }
    return nullptr;
}

// Tab visits the controls in the order of their tab index.
void ApplyTabOrder(std::vector<Control*> controls) {
    std::stable_sort(controls.begin(), controls.end(), [](Control* a, Control* b) {
        return a->impl().design->tabIndex < b->impl().design->tabIndex;
    });
    for (size_t i = 1; i < controls.size(); ++i) {
        QWidget::setTabOrder(controls[i - 1]->impl().widget, controls[i]->impl().widget);
    }
}

QComboBox& Combo(Control::Impl& impl) { return *static_cast<QComboBox*>(impl.widget); }
const QComboBox& Combo(const Control::Impl& impl) { return *static_cast<QComboBox*>(impl.widget); }
QLineEdit& Edit(Control::Impl& impl) { return *static_cast<QLineEdit*>(impl.widget); }
const QLineEdit& Edit(const Control::Impl& impl) { return *static_cast<QLineEdit*>(impl.widget); }

}  // namespace

Control::Control(Window& window, const ControlSpec& design) : impl_(std::make_unique<Impl>()) {
    QWidget& form = window.impl().form;
    QWidget* widget = MakeWidget(design, &form);
    impl_->widget = widget;
    impl_->design = &design;
    impl_->window = &window;
    widget->setObjectName(QString::fromWCharArray(design.name));
    const int dpi = window.impl().Dpi();
    widget->setGeometry(TwipsToPixels(design.left, dpi), TwipsToPixels(design.top, dpi),
                        TwipsToPixels(design.width, dpi), TwipsToPixels(design.height, dpi));
    if (design.font.family != nullptr) widget->setFont(MakeFont(design.font, widget->font()));
    NameForScreenReaders(*widget, design);
    if (design.dropTarget) {
        widget->setAcceptDrops(true);
        widget->installEventFilter(new DropFilter(*this, widget));
    }
    if (design.kind == ControlKind::Button) {
        QObject::connect(static_cast<QPushButton*>(widget), &QPushButton::clicked, widget, [this] {
            auto& button = static_cast<Button&>(*this);
            if (button.onClick) button.onClick();
        });
    }
    window.impl().controls.push_back(this);
    ApplyTabOrder(window.impl().controls);
}

Control::~Control() = default;

void Label::SetCaption(const std::wstring& caption) {
    static_cast<QLabel*>(impl().widget)->setText(ToQString(caption));
}

std::wstring Label::Caption() const {
    return FromQString(static_cast<const QLabel*>(impl().widget)->text());
}

void TextBox::SetText(const std::wstring& text) { Edit(impl()).setText(ToQString(text)); }
std::wstring TextBox::Text() const { return FromQString(Edit(impl()).text()); }

void ComboBox::SetText(const std::wstring& text) { Combo(impl()).setEditText(ToQString(text)); }

std::wstring ComboBox::Text() const { return FromQString(Combo(impl()).currentText()); }

// Qt moves the edit text along with the current item; the box's text is the program's alone.
void ComboBox::AddItem(const std::wstring& item, int index) {
    QComboBox& combo = Combo(impl());
    const QString text = combo.currentText();
    combo.insertItem(index, ToQString(item));
    combo.setEditText(text);
}

void ComboBox::RemoveItem(int index) {
    QComboBox& combo = Combo(impl());
    const QString text = combo.currentText();
    combo.removeItem(index);
    combo.setEditText(text);
}

int ComboBox::ListCount() const { return Combo(impl()).count(); }

std::wstring ComboBox::List(int index) const { return FromQString(Combo(impl()).itemText(index)); }

}  // namespace platform
