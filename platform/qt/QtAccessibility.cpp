// Qt backend: what a screen reader (through AT-SPI) hears of each control: its name from the
// layout table (for the combo box also through a hidden label), or for a label its caption. A label
// without an accessible name of its own reports each new caption as a name change, which screen
// readers speak; so the label's row gives its description instead.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include "QtInternal.h"

namespace platform {

void NameForScreenReaders(QWidget& widget, const ControlSpec& design) {
    if (design.accessibleName == nullptr) return;
    const QString name = QString::fromWCharArray(design.accessibleName);
    if (design.kind == ControlKind::Label) {
        widget.setAccessibleDescription(name);
        return;
    }
    widget.setAccessibleName(name);
    auto* combo = qobject_cast<QComboBox*>(&widget);
    if (combo == nullptr || combo->lineEdit() == nullptr) return;
    combo->lineEdit()->setAccessibleName(name);
    // On Linux Qt names an editable combo box by its text, and screen readers take what the box
    // is from the label that it is "labelled by". That label stays hidden: the window shows
    // nothing more than it was designed with.
    auto* label = new QLabel(name, widget.parentWidget());
    label->setTextFormat(Qt::PlainText);
    label->setBuddy(combo);
    label->hide();
}

}  // namespace platform
