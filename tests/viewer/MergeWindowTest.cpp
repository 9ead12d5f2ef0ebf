// The Qt merge window on real files, offscreen: moved with F7 / F8, a conflict resolved with
// Alt+Left, saved with Ctrl+S, and what it paints and writes.
#include <gtest/gtest.h>

#include <cmath>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QLabel>
#include <QScrollBar>
#include <QTest>

#include "ElidedLabel.h"
#include "MergeWindow.h"
#include "Progress.h"
#include "RunningMerge.h"
#include "RowsView.h"
#include "support/LongMerge.h"
#include "support/TempDir.h"

namespace viewer {
namespace {

using testsupport::ReadBytes;
using testsupport::TempDir;
using testsupport::WriteBytes;

TEST(MergeWindow, F8ToAConflictAltLeftAndCtrlSWriteTheResolvedBytes) {
    TempDir dir;
    // MINE changes line 1's case; both change line 5, differently; CR LF throughout.
    WriteBytes(dir / "mine.txt", "ONE\r\n2\r\n3\r\n4\r\nmine\r\n6\r\n");
    WriteBytes(dir / "base.txt", "one\r\n2\r\n3\r\n4\r\n5\r\n6\r\n");
    WriteBytes(dir / "theirs.txt", "one\r\n2\r\n3\r\n4\r\ntheirs\r\n6\r\n");
    const auto parsed = ParseArguments(
        {dir / "mine.txt", dir / "base.txt", dir / "theirs.txt", "-o", dir / "merged.txt"});
    ASSERT_TRUE(parsed);
    std::u16string why;
    std::optional<MergeSources> sources = ReadMergeSources(*parsed, why);
    ASSERT_TRUE(sources);
    MergeWindow window(std::move(*sources));
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    RowsView* view = window.rowsView();
    auto press = [&](Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(view, key, modifiers);
    };
    EXPECT_EQ(window.windowTitle(),
              QStringLiteral("● merged.txt (マージ) - Diff-Zarvo ビューアー"));
    EXPECT_EQ(window.countLabel()->text(), QStringLiteral("未解決の競合 1 件"));
    EXPECT_EQ(view->model()->headerData(8, Qt::Horizontal).toString(), QStringLiteral("結果"));
    EXPECT_EQ(window.nameLabel(MergeColumn::Result)->text(),
              QStringLiteral("● 結果: %1　(UTF-8)")
                  .arg(QString::fromStdString((dir / "merged.txt").string())));
    // A narrow window: the names give up room, the four files share what is left, 20 digits
    // and a digit each side at the least; the result, whose marker line holds mine.txt's path,
    // is as wide as that line, and the list scrolls sideways to its end.
    window.resize(500, 400);
    QApplication::processEvents();
    EXPECT_LE(window.width(), 500);
    const qreal digit = QFontMetricsF(view->font()).horizontalAdvance(QLatin1Char('0'));
    EXPECT_EQ(view->columnWidth(2),
              static_cast<int>(std::ceil(20 * digit)) + 2 * static_cast<int>(digit));
    const int marker = view->fontMetrics().horizontalAdvance(
        QStringLiteral("<<<<<<< ") + QString::fromStdString((dir / "mine.txt").string()));
    EXPECT_GE(view->columnWidth(8), marker);
    EXPECT_GT(view->horizontalScrollBar()->maximum(), 0);
    // The encoding menu: each file's submenu, 自動判別 checked; a pick is the session's.
    ASSERT_EQ(window.choices(MergeCommand::EncodingTheirs).size(), 8u);
    EXPECT_TRUE(window.choices(MergeCommand::EncodingTheirs)[0]->isChecked());
    window.choices(MergeCommand::EncodingTheirs)[5]->trigger();  // 日本語 (EUC-JP)
    EXPECT_EQ(window.session().Chosen(MergeCommand::EncodingTheirs), 5u);
    EXPECT_TRUE(window.choices(MergeCommand::EncodingTheirs)[5]->isChecked());
    // Opened on the conflict (rows: ONE, 2, 3, 4, then the conflict's seven marker rows); F7
    // goes back to MINE's change, F8 to the conflict again.
    EXPECT_EQ(view->currentIndex().row(), 4);
    press(Qt::Key_F7);
    EXPECT_EQ(view->currentIndex().row(), 0);
    press(Qt::Key_F8);
    EXPECT_EQ(view->currentIndex().row(), 4);
    // Ctrl+F: THEIRS' line in the conflict's markers; Ctrl+G: THEIRS' line 6; Esc closes the bar.
    press(Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(window.findBox()->hasFocus());
    QTest::keyClicks(window.findBox(), QStringLiteral("THEIRS"));
    QTest::keyClick(window.findBox(), Qt::Key_Return);
    EXPECT_EQ(view->currentIndex().row(), 9);
    press(Qt::Key_G, Qt::ControlModifier);
    ASSERT_TRUE(window.lineBox()->hasFocus());
    window.lineFileBox()->setCurrentIndex(2);
    EXPECT_EQ(window.lineFileBox()->currentText(), QStringLiteral("相手の行"));
    QTest::keyClicks(window.lineBox(), QStringLiteral("6"));
    QTest::keyClick(window.lineBox(), Qt::Key_Return);
    EXPECT_EQ(view->currentIndex().row(), 11);
    press(Qt::Key_Escape);
    EXPECT_FALSE(window.lineBox()->isVisible());
    ASSERT_TRUE(window.isVisible());
    press(Qt::Key_F7);
    EXPECT_EQ(view->currentIndex().row(), 4);
    press(Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(window.countLabel()->text(), QStringLiteral("未解決の競合はありません"));
    EXPECT_EQ(view->model()->rowCount(), 6);
    EXPECT_EQ(view->model()->index(4, 8).data().toString(), QStringLiteral("mine"));
    press(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("mine\n"));

    // Painted as the session says: MINE's change in its green, a common row white.
    QApplication::processEvents();
    const QImage image = view->viewport()->grab().toImage();
    const QRect mineRow = view->visualRect(view->model()->index(0, 4));
    EXPECT_EQ(image.pixelColor(mineRow.center()).name(), QStringLiteral("#d6f5d6"));
    const QRect plainRow = view->visualRect(view->model()->index(1, 4));
    EXPECT_EQ(image.pixelColor(plainRow.right() - 2, plainRow.center().y()).name(),
              QStringLiteral("#ffffff"));

    press(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(ReadBytes(dir / "merged.txt"), "ONE\r\n2\r\n3\r\n4\r\nmine\r\n6\r\n");
    EXPECT_EQ(window.statusLabel()->text(),
              QStringLiteral("「%1」に保存しました")
                  .arg(QString::fromStdString((dir / "merged.txt").string())));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("merged.txt (マージ) - Diff-Zarvo ビューアー"));
    EXPECT_EQ(window.session().ExitCode(), 0);
    // 表示 > 大文字と小文字を区別しない, a check item: MINE's change of case is then drawn white.
    QAction* ignoreCase = nullptr;
    for (QAction* action : window.findChildren<QAction*>()) {
        if (action->text() == QStringLiteral("大文字と小文字を区別しない")) ignoreCase = action;
    }
    ASSERT_NE(ignoreCase, nullptr);
    EXPECT_TRUE(ignoreCase->isCheckable());
    EXPECT_FALSE(ignoreCase->isChecked());
    ignoreCase->trigger();
    EXPECT_TRUE(ignoreCase->isChecked());
    EXPECT_EQ(view->model()->index(0, 0).data().toString(), QString());
    QApplication::processEvents();
    EXPECT_EQ(view->viewport()->grab().toImage().pixelColor(mineRow.center()).name(),
              QStringLiteral("#ffffff"));
    // THEIRS saved anew by another program, by rename: the notice; F5 merges anew, unsaved, and
    // the conflict is taken again.
    EXPECT_FALSE(window.changeNotice()->isVisible());
    WriteBytes(dir / "theirs.new", "one\r\n2\r\n3\r\n4\r\ntheirs\r\n6\r\nseven\r\n");
    std::filesystem::rename(dir / "theirs.new", dir / "theirs.txt");
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.changeNotice()->isVisible(); }, 10000));
    press(Qt::Key_F5);
    EXPECT_FALSE(window.changeNotice()->isVisible());
    EXPECT_EQ(window.countLabel()->text(), QStringLiteral("未解決の競合 1 件"));
    EXPECT_EQ(view->currentIndex().row(), 4);
    press(Qt::Key_Left, Qt::AltModifier);
    press(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(ReadBytes(dir / "merged.txt"), "ONE\r\n2\r\n3\r\n4\r\nmine\r\n6\r\nseven\r\n");
    // Nothing unsaved: Esc closes without a question.
    press(Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
}

TEST(MergeWindow, ALongMergeMadeBeforeTheWindowWidensAFileOnceItsLinesAreMeasured) {
    TempDir dir;
    std::optional<MergeSources> sources = testsupport::MergeWithAWideBaseLine(dir.path());
    ASSERT_TRUE(sources);
    // Merged on a thread of its own, as the program does while Qt starts.
    RunningMerge merging(std::move(*sources));
    ASSERT_TRUE(WaitForWork(nullptr, merging));
    std::unique_ptr<MergedFiles> merged = merging.Take();
    ASSERT_TRUE(merged);
    MergeWindow window(std::move(merged));
    RowsView* view = window.rowsView();
    // Drawn first with BASE's column as wide as its first lines; widened once all are measured.
    const qreal digit = QFontMetricsF(view->font()).horizontalAdvance(QLatin1Char('0'));
    EXPECT_LT(view->columnWidth(4), 60 * digit);
    window.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->columnWidth(4) >= 200 * digit; }, 10000))
        << view->columnWidth(4);
    EXPECT_LT(view->columnWidth(2), 60 * digit);
}

}  // namespace
}  // namespace viewer
