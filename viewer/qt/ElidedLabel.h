// One line of text that gives up room: cut in the middle with "…" when the window is narrower
// than it, so a long folder name never widens the window; the whole text is its tooltip.
#pragma once

#include <QWidget>

namespace viewer {

class ElidedLabel : public QWidget {
    Q_OBJECT
public:
    explicit ElidedLabel(QWidget* parent = nullptr);
    void SetText(const QString& text);
    QString text() const { return text_; }
    // The text as drawn at the present width.
    QString shownText() const;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
};

}  // namespace viewer
