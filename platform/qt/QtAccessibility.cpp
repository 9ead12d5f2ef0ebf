// Qt backend: what a screen reader (through AT-SPI) hears of each control: its name from the
// layout table, or for a label its caption. A label without an accessible name of its own
// reports each new caption as a name change, which screen readers speak; so the label's row
// gives its description instead.
#include <QComboBox>
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
    // The focus rests in an editable combo box's own text field.
    if (auto* combo = qobject_cast<QComboBox*>(&widget); combo != nullptr && combo->lineEdit())
        combo->lineEdit()->setAccessibleName(name);
}

}  // namespace platform
