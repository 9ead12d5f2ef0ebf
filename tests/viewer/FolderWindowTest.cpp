// The Qt folder window offscreen on real folders: rows filled from the background walk, a file
// pair opened in the same window by Enter and by a double click, Backspace and the pair's 閉じる
// back to the list where it was, and a change in the pair asked about before it is lost. What the
// folder session decides is tested without a display (FolderSessionTest).
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include "FolderWindow.h"
#include "RowsView.h"
#include "ViewerWindow.h"
#include "support/TempDir.h"

namespace viewer {
namespace {

namespace fs = std::filesystem;
using testsupport::TempDir;
using testsupport::WriteBytes;

int RowNamed(const QTableView& list, const QString& name) {
    for (int row = 0; row < list.model()->rowCount(); ++row) {
        if (list.model()->index(row, 1).data().toString().trimmed() == name) return row;
    }
    return -1;
}

// Answers each question box with the button named `button`, as soon as it shows.
class Answerer : public QObject {
public:
    explicit Answerer(QString pressed) : button(std::move(pressed)) {
        qApp->installEventFilter(this);
    }
    QString button;
    QStringList asked;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* box = qobject_cast<QMessageBox*>(watched);
        if (box != nullptr && event->type() == QEvent::Show) {
            asked << box->text();
            QTimer::singleShot(0, box, [box, name = button] {
                for (QAbstractButton* b : box->buttons()) {
                    if (b->text() == name) return b->click();
                }
                ADD_FAILURE() << "no button " << name.toStdString();
                box->reject();
            });
        }
        return false;
    }
};

TEST(FolderWindow, OpensAPairInTheSameWindowAndComesBackWhereItWas) {
    TempDir dir;
    const fs::path a = dir / "a", b = dir / "b";
    for (const fs::path& root : {a, b}) {
        fs::create_directories(root / "sub");
        for (int i = 0; i < 60; ++i) WriteBytes(root / "sub" / ("f" + std::to_string(i)), "same\n");
    }
    WriteBytes(a / "zz-changed.txt", "old\n");
    WriteBytes(b / "zz-changed.txt", "new\n");
    WriteBytes(b / "zz-only.txt", "added\n");

    FolderWindow window(a, b, dir / "Zarvo.ini");
    QSignalSpy ended(&window, &FolderWindow::ComparisonEnded);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    ASSERT_TRUE(ended.count() == 1 || ended.wait(20000));
    QTableView& list = *window.listView();
    EXPECT_EQ(list.model()->rowCount(), 2);  // the same are hidden
    // Wholly on screen, and so is a pair opened from it.
    const QRect work = window.screen()->availableGeometry();
    EXPECT_TRUE(work.contains(window.geometry())) << window.width() << "x" << window.height();
    // The keys go to the list at once, on its first row.
    EXPECT_EQ(QApplication::focusWidget(), &list);
    EXPECT_EQ(list.currentIndex().row(), 0);
    EXPECT_EQ(
        window.windowTitle(),
        QStringLiteral("a ⇔ b — 相違 1 件 — 第一だけ 0 — 第二だけ 1 — Diff-Zarvo ビューアー"));
    EXPECT_EQ(window.progressLabel()->text(), QStringLiteral("比較が終わりました: 63 項目"));

    // All rows shown, the list scrolled to its end, the pair only in the second opened by Enter.
    window.hideSameBox()->click();
    EXPECT_EQ(list.model()->rowCount(), 63);
    EXPECT_FALSE(LoadFolderFilters(dir / "Zarvo.ini").hideSame);
    const int only = RowNamed(list, QStringLiteral("zz-only.txt"));
    ASSERT_EQ(only, 62);
    list.setFocus();
    list.setCurrentIndex(list.model()->index(only, 1));
    list.scrollToBottom();
    const int scrolled = list.verticalScrollBar()->value();
    ASSERT_GT(scrolled, 0);
    QTest::keyClick(&list, Qt::Key_Return);
    ASSERT_NE(window.fileView(), nullptr);
    EXPECT_TRUE(window.windowTitle().startsWith(QStringLiteral("a/zz-only.txt ⇔ b/zz-only.txt")))
        << window.windowTitle().toStdString();
    // One status bar, the pair's, whose count is whole.
    EXPECT_FALSE(window.statusBar()->isVisible());
    EXPECT_TRUE(window.fileView()->statusBar()->isVisible());
    EXPECT_EQ(window.fileView()->countLabel()->text(), QStringLiteral("相違 1 箇所 (1 番目)"));
    EXPECT_GE(window.fileView()->countLabel()->width(),
              window.fileView()->countLabel()->sizeHint().width());
    const Comparison& added = window.fileView()->session().comparison();
    EXPECT_EQ(added.outcome(), Outcome::Text);
    EXPECT_EQ(added.differenceStarts().size(), 1u);

    QTest::keyClick(window.fileView()->rowsView(), Qt::Key_Backspace);
    EXPECT_EQ(window.fileView(), nullptr);
    EXPECT_TRUE(window.statusBar()->isVisible());
    EXPECT_EQ(list.currentIndex().row(), only);
    EXPECT_EQ(list.verticalScrollBar()->value(), scrolled);
    EXPECT_TRUE(window.windowTitle().startsWith(QStringLiteral("a ⇔ b — ")));

    // A double click opens a pair too.
    const int changed = RowNamed(list, QStringLiteral("zz-changed.txt"));
    const QRect cell = list.visualRect(list.model()->index(changed, 1));
    // As a mouse gives it: a click, then the second press, which comes as a double click.
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, cell.center());
    ASSERT_NE(window.fileView(), nullptr);
    EXPECT_EQ(window.fileView()->session().comparison().first().path, a / "zz-changed.txt");

    // A change taken across in the pair: closing the window asks first, and キャンセル keeps
    // it open on the pair; the pair's 閉じる (Esc) asks again and, on 保存しない, comes back to
    // the list with the file as it was.
    // Backspace typed in a line's editor is the editor's, not the way back to the list.
    QTest::keyClick(window.fileView()->rowsView(), Qt::Key_F2);
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), QStringLiteral("old"));
    QTest::keyClick(editor, Qt::Key_Backspace);
    EXPECT_EQ(editor->text(), QStringLiteral("ol"));
    ASSERT_NE(window.fileView(), nullptr);
    QTest::keyClick(editor, Qt::Key_Escape);
    QTest::keyClick(window.fileView()->rowsView(), Qt::Key_Right, Qt::AltModifier);
    EXPECT_TRUE(window.windowTitle().startsWith(QStringLiteral("● ")))
        << window.windowTitle().toStdString();
    Answerer answerer(QStringLiteral("キャンセル"));
    window.close();
    EXPECT_EQ(answerer.asked,
              QStringList{QStringLiteral("保存していない変更があります。保存しますか？")});
    EXPECT_TRUE(window.isVisible());
    ASSERT_NE(window.fileView(), nullptr);
    answerer.button = QStringLiteral("保存しない");
    window.activateWindow();  // back from the box, as the window manager does
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(window.fileView()->rowsView(), Qt::Key_Escape);
    EXPECT_EQ(answerer.asked.size(), 2);
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.fileView() == nullptr; }));
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(list.currentIndex().row(), changed);
    EXPECT_EQ(testsupport::ReadBytes(b / "zz-changed.txt"), "new\n");

    // The file only in the second, taken into the first and saved: made there once the user
    // says so; back in the list its row and the counts follow, and F5 finds the same.
    list.setCurrentIndex(list.model()->index(only, 1));
    QTest::keyClick(&list, Qt::Key_Return);
    ASSERT_NE(window.fileView(), nullptr);
    window.fileView()->session().Run(Command::TakeToFirst);
    answerer.button = QStringLiteral("作って保存");
    window.fileView()->session().Run(Command::Save);
    EXPECT_EQ(answerer.asked.last(),
              QStringLiteral("「%1」はまだありません。新しく作って保存しますか？")
                  .arg(QString::fromStdString((a / "zz-only.txt").string())));
    EXPECT_EQ(testsupport::ReadBytes(a / "zz-only.txt"), "added\n");
    window.activateWindow();  // back from the box
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(window.fileView()->rowsView(), Qt::Key_Backspace);
    ASSERT_EQ(window.fileView(), nullptr);
    const QString now =
        QStringLiteral("a ⇔ b — 相違 1 件 — 第一だけ 0 — 第二だけ 0 — Diff-Zarvo ビューアー");
    EXPECT_EQ(window.windowTitle(), now);
    EXPECT_EQ(list.model()->index(only, 2).data().toString(), QStringLiteral("同じ"));
    ended.clear();
    QTest::keyClick(&list, Qt::Key_F5);
    ASSERT_TRUE(ended.wait(20000));
    EXPECT_EQ(window.windowTitle(), now);
    EXPECT_EQ(list.model()->rowCount(), 63);
}

}  // namespace
}  // namespace viewer
