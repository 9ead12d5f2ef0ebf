// The baseline: a bare Qt window with the same widgets, texts, fonts and icon as the front end,
// built directly on Qt with nothing of the program.
#include <QApplication>
#include <QComboBox>
#include <QFont>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

#include "Shown.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QWidget form;
    form.setWindowTitle(QStringLiteral("Diff-Zarvo"));
    form.setWindowIcon(QIcon(QStringLiteral(":/zarvo.ico")));
    form.resize(314, 202);
    auto* guide = new QLabel(QStringLiteral("第一の対象ファイルをドロップして下さい"), &form);
    guide->setGeometry(8, 8, 289, 65);
    guide->setWordWrap(true);
    guide->setFont(QFont(QStringLiteral("IPAPGothic"), 20));
    auto* path1 = new QLineEdit(QStringLiteral("第一のパス指定"), &form);
    path1->setGeometry(8, 88, 297, 18);
    auto* path2 = new QComboBox(&form);
    path2->setEditable(true);
    path2->setEditText(QStringLiteral("第二のパス指定"));
    path2->setGeometry(8, 112, 297, 20);
    auto* exePath = new QLineEdit(QStringLiteral("/usr/bin/diff-zarvo-view"), &form);
    exePath->setGeometry(8, 136, 297, 18);
    auto* go = new QPushButton(QStringLiteral("実行"), &form);
    go->setGeometry(8, 160, 97, 33);
    go->setFont(QFont(QStringLiteral("IPAPGothic"), 14));
    auto* reffer = new QPushButton(QStringLiteral("参照"), &form);
    reffer->setGeometry(264, 160, 41, 17);
    form.setAcceptDrops(true);
    form.show();
    return bench::ReportWhenShown();
}
