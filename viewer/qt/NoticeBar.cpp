#include "NoticeBar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <utility>

#include "QtText.h"
#include "Texts.h"

namespace viewer {

QWidget* MakeNoticeBar(QWidget* parent, std::function<void()> reload) {
    auto* notice = new QWidget(parent);
    notice->setAutoFillBackground(true);
    QPalette palette = notice->palette();
    palette.setColor(QPalette::Window, ToQColor(ColourRole::Notice));
    palette.setColor(QPalette::WindowText, ToQColor(ColourRole::Text));
    notice->setPalette(palette);
    auto* layout = new QHBoxLayout(notice);
    layout->addWidget(new QLabel(ToQString(texts::kChangedOnDisk), notice), 1);
    auto* button = new QPushButton(ToQString(texts::kReloadButton), notice);
    QObject::connect(button, &QPushButton::clicked, notice, std::move(reload));
    layout->addWidget(button);
    notice->hide();
    return notice;
}

}  // namespace viewer
