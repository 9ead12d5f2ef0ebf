// The editor of one line in place, laid over a row's text: Enter keeps what was typed, Esc puts
// the line back, a click elsewhere keeps it. It takes Enter and Esc before the window's keys (Esc
// would close the window) and keeps every other key from reaching the list under it.
#pragma once

#include <QLineEdit>

namespace viewer {

class LineEditor : public QLineEdit {
    Q_OBJECT
public:
    explicit LineEditor(QWidget* parent);

signals:
    // The edit ends: keep (Enter, the focus gone elsewhere in the window) or not (Esc).
    void finished(bool keep);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};

}  // namespace viewer
