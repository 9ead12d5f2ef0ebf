// The window opened offscreen on real files, driven by real keys and clicks: what it names,
// lists, colours, marks and counts; moving, finding, copying, reloading; options and views.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressDialog>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include "DiffModel.h"
#include "OverviewStrip.h"
#include "ViewerWindow.h"
#include "support/TempDir.h"

namespace viewer {
namespace {

using testsupport::TempDir;
using testsupport::WriteBytes;

QString Path(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }

class ViewerWindowTest : public ::testing::Test {
protected:
    ViewerWindow& Open(const std::string& first, const std::string& second) {
        WriteBytes(dir_ / "第一.txt", first);
        WriteBytes(dir_ / "second.txt", second);
        window_ = std::make_unique<ViewerWindow>(Compare(dir_ / "第一.txt", dir_ / "second.txt"));
        window_->show();
        window_->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window_.get()));
        return *window_;
    }
    QString firstPath() const { return Path(dir_ / "第一.txt"); }
    QString secondPath() const { return Path(dir_ / "second.txt"); }

    int CurrentRow() const { return window_->rowsView()->currentIndex().row(); }
    RowKind KindAt(int row) const {
        const QAbstractItemModel* model = window_->rowsView()->model();
        return static_cast<RowKind>(model->index(row, 0).data(DiffModel::KindRole).toInt());
    }
    QVariant Cell(int row, int column, int role = Qt::DisplayRole) const {
        return window_->rowsView()->model()->index(row, column).data(role);
    }
    void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(window_->rowsView(), static_cast<Qt::Key>(key), modifiers);
    }
    void Click(int row) {
        QTableView* view = window_->rowsView();
        const QRect cell = view->visualRect(view->model()->index(row, DiffModel::Content));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    }

    TempDir dir_;
    std::unique_ptr<ViewerWindow> window_;
};

TEST_F(ViewerWindowTest, ShowsBothFilesRowsKindsTheCountAndTheTitle) {
    ViewerWindow& window = Open("共通\nold\nkeep\nend\n", "共通\nnew\nkeep\nend\nextra\n");

    EXPECT_TRUE(window.HeaderText().contains(firstPath()));
    EXPECT_TRUE(window.HeaderText().contains(secondPath()));
    EXPECT_TRUE(window.HeaderText().contains(QStringLiteral("UTF-8")));
    EXPECT_EQ(window.windowTitle(),
              QStringLiteral("第一.txt ⇔ second.txt — 相違 2 箇所 — Diff-Zarvo ビューアー"));

    // 共通, -old, +new, keep, end, +extra
    ASSERT_EQ(window.rowsView()->model()->rowCount(), 6);
    EXPECT_EQ(KindAt(0), RowKind::Common);
    EXPECT_EQ(KindAt(1), RowKind::Removed);
    EXPECT_EQ(KindAt(2), RowKind::Added);
    EXPECT_EQ(KindAt(5), RowKind::Added);
    EXPECT_EQ(Cell(0, DiffModel::Content).toString(), QStringLiteral("共通"));
    EXPECT_EQ(Cell(2, DiffModel::Content).toString(), QStringLiteral("new"));
    EXPECT_EQ(Cell(1, DiffModel::Mark).toString(), QStringLiteral("<!"));
    EXPECT_EQ(Cell(2, DiffModel::Mark).toString(), QStringLiteral("!>"));

    // Line numbers of both sides, blank where a side has no line.
    EXPECT_EQ(Cell(1, DiffModel::FirstNumber).toInt(), 2);
    EXPECT_FALSE(Cell(1, DiffModel::SecondNumber).isValid());
    EXPECT_FALSE(Cell(2, DiffModel::FirstNumber).isValid());
    EXPECT_EQ(Cell(2, DiffModel::SecondNumber).toInt(), 2);
    EXPECT_EQ(Cell(5, DiffModel::FirstNumber).toString(), QString());
    EXPECT_EQ(Cell(5, DiffModel::SecondNumber).toInt(), 5);

    // The window opens at the first difference.
    EXPECT_EQ(CurrentRow(), 1);
    EXPECT_EQ(window.countLabel()->text(), QStringLiteral("相違 2 箇所 (1 番目)"));
    EXPECT_FALSE(window.messageLabel()->isVisible());
}

TEST_F(ViewerWindowTest, ColoursMarksAndTheCurrentRowAsPainted) {
    ViewerWindow& window = Open("count = 10;\nsame\n", "count = 12;\nsame\n");
    // -count = 10 (current), +count = 12, same
    ASSERT_EQ(CurrentRow(), 0);
    const QImage image = window.rowsView()->viewport()->grab().toImage();
    const QFontMetrics metrics(window.rowsView()->font());
    auto pixel = [&](int row, int x) {
        const QRect cell = window.rowsView()->visualRect(
            window.rowsView()->model()->index(row, DiffModel::Content));
        return image.pixelColor(cell.left() + x, cell.bottom() - 1).name();
    };
    auto topEdge = [&](int row) {
        const QRect cell = window.rowsView()->visualRect(
            window.rowsView()->model()->index(row, DiffModel::Content));
        return image.pixelColor(cell.left() + 300, cell.top()).name();
    };
    const int markX = 4 + metrics.horizontalAdvance(QStringLiteral("count = ")) + 1;
    const int plainX = 4 + metrics.horizontalAdvance(QStringLiteral("count = 10;")) + 20;
    // The current row keeps its red, darker, in a frame; not the system's selection colour.
    EXPECT_EQ(pixel(0, plainX), QStringLiteral("#d8b4b4"));
    EXPECT_EQ(topEdge(0), QStringLiteral("#303030"));
    EXPECT_EQ(pixel(0, markX), QStringLiteral("#de8585"));
    // The added row: light blue, and the changed "12" in the stronger blue.
    EXPECT_EQ(pixel(1, plainX), QStringLiteral("#cceeff"));
    EXPECT_EQ(pixel(1, markX), QStringLiteral("#80ccff"));
    EXPECT_EQ(pixel(2, plainX), QStringLiteral("#ffffff"));

    // Moving on: the row that was current is plain red again.
    Press(Qt::Key_Down);
    const QImage after = window.rowsView()->viewport()->grab().toImage();
    const QRect first =
        window.rowsView()->visualRect(window.rowsView()->model()->index(0, DiffModel::Content));
    EXPECT_EQ(after.pixelColor(first.left() + plainX, first.bottom() - 1).name(),
              QStringLiteral("#ffd4d4"));
    EXPECT_EQ(after.pixelColor(first.left() + markX, first.bottom() - 1).name(),
              QStringLiteral("#ff9999"));
}

TEST_F(ViewerWindowTest, KeysAndClicksMoveBetweenDifferences) {
    Open("a\nb\nc\nd\ne\nf\ng\n", "a\nB\nc\nd\ne\nF\ng\nh\n");
    // a, -b, +B, c, d, e, -f, +F, g, +h: differences start at rows 1, 6 and 9.
    ASSERT_EQ(window_->rowsView()->model()->rowCount(), 10);
    EXPECT_EQ(CurrentRow(), 1);

    Press(Qt::Key_F8);
    EXPECT_EQ(CurrentRow(), 6);
    Press(Qt::Key_F8);
    EXPECT_EQ(CurrentRow(), 9);
    EXPECT_EQ(window_->countLabel()->text(), QStringLiteral("相違 3 箇所 (3 番目)"));
    Press(Qt::Key_F8);  // no further difference: the row stays
    EXPECT_EQ(CurrentRow(), 9);

    Press(Qt::Key_F8, Qt::ShiftModifier);
    EXPECT_EQ(CurrentRow(), 6);
    Press(Qt::Key_F7);
    EXPECT_EQ(CurrentRow(), 1);
    Press(Qt::Key_F7);
    EXPECT_EQ(CurrentRow(), 1);
    Press(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(CurrentRow(), 9);
    Press(Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(CurrentRow(), 1);

    // From a row the user clicked, F8 goes to the next difference below it.
    Click(3);
    EXPECT_EQ(CurrentRow(), 3);
    EXPECT_TRUE(window_->countLabel()->text().startsWith(QStringLiteral("相違 3 箇所　F8")));
    Press(Qt::Key_F8);
    EXPECT_EQ(CurrentRow(), 6);
    // From inside a difference, Shift+F8 goes to its start first.
    Click(7);
    Press(Qt::Key_F8, Qt::ShiftModifier);
    EXPECT_EQ(CurrentRow(), 6);
}

TEST_F(ViewerWindowTest, OverviewStripShowsEveryDifferenceAndAClickGoesThere) {
    std::string first, second;
    for (int i = 0; i < 300; ++i) {
        const std::string line = "line " + std::to_string(i) + "\n";
        first += line;
        second += i == 20 || i == 280 ? "changed " + line : line;
    }
    ViewerWindow& window = Open(first, second);
    ASSERT_EQ(window.rowsView()->model()->rowCount(), 302);
    EXPECT_EQ(CurrentRow(), 20);
    OverviewStrip* strip = window.overview();
    ASSERT_TRUE(strip->isVisible());
    // The red half and the blue half at the second difference (rows 281 and 282 of 302).
    const QImage image = strip->grab().toImage();
    const int y = 281 * strip->height() / 302;
    EXPECT_EQ(image.pixelColor(2, y).name(), QStringLiteral("#e88b8b"));
    EXPECT_EQ(image.pixelColor(strip->width() - 3, 282 * strip->height() / 302).name(),
              QStringLiteral("#74b9e8"));
    EXPECT_EQ(image.pixelColor(2, 150 * strip->height() / 302).name(), QStringLiteral("#f2f2f2"));

    QTest::mouseClick(strip, Qt::LeftButton, Qt::NoModifier, QPoint(strip->width() / 2, y));
    EXPECT_EQ(CurrentRow(), 281);
    // Far from any difference, the click goes to the row there.
    QTest::mouseClick(strip, Qt::LeftButton, Qt::NoModifier, QPoint(4, strip->height() / 2));
    EXPECT_EQ(CurrentRow(), strip->RowAt(strip->height() / 2));
    EXPECT_GT(CurrentRow(), 100);
}

TEST_F(ViewerWindowTest, FindGoToLineAndCopyByKeys) {
    ViewerWindow& window =
        Open("alpha\nbeta\ngamma\nbeta\n", "alpha\nbeta\nGamma ray\nbeta\nend\n");
    // alpha, beta, -gamma, +Gamma ray, beta, +end
    Press(Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(window.findBox()->isVisible());
    ASSERT_TRUE(window.findBox()->hasFocus());
    QTest::keyClicks(window.findBox(), QStringLiteral("BETA"));
    QTest::keyClick(window.findBox(), Qt::Key_Return);
    EXPECT_EQ(CurrentRow(), 4);  // from the first difference (row 2) onwards
    Press(Qt::Key_F3);
    EXPECT_EQ(CurrentRow(), 1);  // round the end
    Press(Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(CurrentRow(), 4);
    QTest::keyClick(window.findBox(), Qt::Key_Escape);
    EXPECT_FALSE(window.findBox()->isVisible());

    Press(Qt::Key_G, Qt::ControlModifier);
    ASSERT_TRUE(window.lineBox()->hasFocus());
    QTest::keyClicks(window.lineBox(), QStringLiteral("3"));
    QTest::keyClick(window.lineBox(), Qt::Key_Return);
    EXPECT_EQ(CurrentRow(), 2);  // line 3 of the first file: gamma
    QTest::keyClick(window.lineFileBox(), Qt::Key_Down);
    EXPECT_EQ(window.lineFileBox()->currentText(), QStringLiteral("第二のファイルの行"));
    window.lineBox()->clear();
    QTest::keyClicks(window.lineBox(), QStringLiteral("5"));
    QTest::keyClick(window.lineBox(), Qt::Key_Return);
    EXPECT_EQ(CurrentRow(), 5);  // line 5 of the second file: end

    // Rows 2 to 4 selected with the keyboard, then copied as text.
    Click(2);
    Press(Qt::Key_Down, Qt::ShiftModifier);
    Press(Qt::Key_Down, Qt::ShiftModifier);
    Press(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("-gamma\n+Gamma ray\n beta\n"));
}

TEST_F(ViewerWindowTest, SideBySideShowsBothFilesInTwoPanesWithTheSameKeys) {
    ViewerWindow& window = Open("a\nold\nb\nc\n", "a\nnew\nb\nc\nd\n");
    Press(Qt::Key_T, Qt::ControlModifier);
    QAbstractItemModel* model = window.rowsView()->model();
    ASSERT_EQ(model->columnCount(), 5);
    // a | old ↔ new | b | c | (nothing) ↔ d
    ASSERT_EQ(model->rowCount(), 5);
    EXPECT_EQ(CurrentRow(), 1);
    EXPECT_EQ(Cell(1, DiffModel::LeftContent).toString(), QStringLiteral("old"));
    EXPECT_EQ(Cell(1, DiffModel::RightContent).toString(), QStringLiteral("new"));
    EXPECT_EQ(Cell(1, DiffModel::Band).toString(), QStringLiteral("<!!>"));
    EXPECT_EQ(Cell(4, DiffModel::Band).toString(), QStringLiteral("!>"));
    EXPECT_EQ(Cell(4, DiffModel::LeftContent).toString(), QString());
    EXPECT_EQ(Cell(4, DiffModel::RightNumber).toInt(), 5);
    EXPECT_EQ(Cell(1, DiffModel::LeftContent, Qt::BackgroundRole).value<QBrush>().color(),
              QColor(0xff, 0xd4, 0xd4));
    EXPECT_EQ(Cell(1, DiffModel::RightContent, Qt::BackgroundRole).value<QBrush>().color(),
              QColor(0xcc, 0xee, 0xff));
    Press(Qt::Key_F8);
    EXPECT_EQ(CurrentRow(), 4);
    EXPECT_EQ(window.countLabel()->text(), QStringLiteral("相違 2 箇所 (2 番目)"));
    Press(Qt::Key_T, Qt::ControlModifier);
    EXPECT_EQ(model->columnCount(), 4);
    EXPECT_EQ(CurrentRow(), 5);  // the same line, +d, in the one list

    // A pane shows the part of a long line around its difference.
    Open(std::string(500, 'x') + "1\n", std::string(500, 'x') + "2\n");
    Press(Qt::Key_T, Qt::ControlModifier);
    const QString left = Cell(0, DiffModel::LeftContent).toString();
    EXPECT_TRUE(left.startsWith(QStringLiteral("（先頭 "))) << left.toStdString();
    EXPECT_TRUE(left.endsWith(QStringLiteral("xx1")));
    EXPECT_LT(left.size(), 200);
    EXPECT_TRUE(Cell(0, DiffModel::RightContent).toString().endsWith(QStringLiteral("xx2")));
}

TEST_F(ViewerWindowTest, IgnoreOptionsFromTheMenuAndTheStatusBarSaysWhatTheyHide) {
    ViewerWindow& window = Open("Hello\nsame\n", "hello\nsame\n");
    EXPECT_EQ(window.countLabel()->text(), QStringLiteral("相違 1 箇所 (1 番目)"));
    QMenuBar* bar = window.menuBar();
    QAction* viewMenu = nullptr;
    for (QAction* action : bar->actions()) {
        if (action->text() == QStringLiteral("表示(&V)")) viewMenu = action;
    }
    ASSERT_NE(viewMenu, nullptr);
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->actionGeometry(viewMenu).center());
    QMenu* menu = viewMenu->menu();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
    QAction* letterCase = nullptr;
    for (QAction* action : menu->actions()) {
        if (action->text() == QStringLiteral("大文字と小文字を区別しない")) letterCase = action;
    }
    ASSERT_NE(letterCase, nullptr);
    QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier,
                      menu->actionGeometry(letterCase).center());
    EXPECT_TRUE(letterCase->isChecked());
    EXPECT_EQ(window.countLabel()->text(), QStringLiteral("相違はありません"));
    EXPECT_EQ(window.hiddenLabel()->text(),
              QStringLiteral("大文字と小文字を無視しています（1 行の相違を表示していません）"));
    EXPECT_EQ(window.windowTitle(),
              QStringLiteral("第一.txt ⇔ second.txt — 相違なし — Diff-Zarvo ビューアー"));
    EXPECT_EQ(KindAt(0), RowKind::Common);
}

// Presses Esc on the progress dialog as soon as it shows, as a user who gives up would.
class EscapeOnProgress : public QObject {
public:
    bool shown = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* dialog = qobject_cast<QProgressDialog*>(watched);
        if (dialog != nullptr && event->type() == QEvent::Show && !shown) {
            shown = true;
            EXPECT_EQ(dialog->labelText(), QStringLiteral("比較しています…（Esc で中止）"));
            QTimer::singleShot(0, dialog, [dialog] { QTest::keyClick(dialog, Qt::Key_Escape); });
        }
        return false;
    }
};

TEST_F(ViewerWindowTest, ALongComparisonSaysSoAndEscStopsItLeavingTheWindowAsItWas) {
    // No line in common as they stand, so the window opens at once; without case, 200,000
    // lines in a scrambled order, which take seconds to compare.
    std::string first, second;
    for (std::int64_t i = 0; i < 200000; ++i) {
        first += "row " + std::to_string(i) + "\n";
        second += "ROW " + std::to_string((i * 7919) % 200000) + "\n";
    }
    ViewerWindow& window = Open(first, second);
    const QString count = window.countLabel()->text();
    QAction* letterCase = nullptr;
    for (QAction* menu : window.menuBar()->actions()) {
        for (QAction* action : menu->menu()->actions()) {
            if (action->text() == QStringLiteral("大文字と小文字を区別しない")) letterCase = action;
        }
    }
    ASSERT_NE(letterCase, nullptr);
    EscapeOnProgress escape;
    qApp->installEventFilter(&escape);
    letterCase->trigger();
    qApp->removeEventFilter(&escape);
    EXPECT_TRUE(escape.shown);
    EXPECT_FALSE(letterCase->isChecked());
    EXPECT_FALSE(window.comparison().options.letterCase);
    EXPECT_EQ(window.comparison().rows.size(), 400000u);
    EXPECT_EQ(window.countLabel()->text(), count);
}

TEST_F(ViewerWindowTest, ChangeOnDiskIsNoticedAndF5Reloads) {
    ViewerWindow& window = Open("one\ntwo\n", "one\nTWO\n");
    EXPECT_FALSE(window.changeNotice()->isVisible());
    WriteBytes(dir_ / "second.txt", "one\ntwo\nthree\n");
    // The watch is inotify's: wait for its event, not for a time.
    QTRY_VERIFY_WITH_TIMEOUT(window.changeNotice()->isVisible(), 10000);
    Press(Qt::Key_F5);
    EXPECT_FALSE(window.changeNotice()->isVisible());
    ASSERT_EQ(window.rowsView()->model()->rowCount(), 3);
    EXPECT_EQ(KindAt(2), RowKind::Added);
    EXPECT_EQ(CurrentRow(), 1);  // still on "two", the line that was current
    EXPECT_EQ(window.windowTitle(),
              QStringLiteral("第一.txt ⇔ second.txt — 相違 1 箇所 — Diff-Zarvo ビューアー"));
}

TEST_F(ViewerWindowTest, LongLinesShowTheirDifferenceAndLatin1ShowsAsItself) {
    const std::string longLine(100000, 'x');
    // "😀" is a surrogate pair in UTF-16; a cut must not split it.
    const std::string emoji = std::string(1999, 'e') + "😀tail";
    Open(longLine + "\n" + emoji + "\n", longLine + "y\n" + emoji + "\n");
    // -x…, +x…y, the emoji line
    ASSERT_EQ(window_->rowsView()->model()->rowCount(), 3);
    EXPECT_EQ(KindAt(0), RowKind::Removed);
    EXPECT_EQ(KindAt(1), RowKind::Added);
    // The lines differ only in their last character, far past what fits: that part is shown,
    // with its mark.
    const QString shown = Cell(1, DiffModel::Content).toString();
    EXPECT_TRUE(shown.startsWith(QStringLiteral("（先頭 98001 文字は省略）… xxx")));
    EXPECT_TRUE(shown.endsWith(QStringLiteral("xy")));
    const auto marks = Cell(1, DiffModel::Content, DiffModel::MarksRole).value<QList<QPoint>>();
    ASSERT_EQ(marks.size(), 1);
    EXPECT_EQ(shown.mid(marks[0].x(), marks[0].y()), QStringLiteral("y"));
    const QString cutBeforeEmoji = Cell(2, DiffModel::Content).toString();
    EXPECT_FALSE(cutBeforeEmoji.contains(QChar(0xD83D)));
    EXPECT_TRUE(cutBeforeEmoji.endsWith(QStringLiteral("e …（残り 6 文字は省略）")));

    // Two Latin-1 files that differ in one byte: two rows, shown as they are, named in the header.
    ViewerWindow& latin = Open("caf\xe9\n", "caf\xe8\n");
    EXPECT_TRUE(latin.HeaderText().contains(QStringLiteral("Latin-1 (Windows-1252)")));
    ASSERT_EQ(latin.rowsView()->model()->rowCount(), 2);
    EXPECT_EQ(Cell(0, DiffModel::Content).toString(), QStringLiteral("café"));
    EXPECT_EQ(Cell(1, DiffModel::Content).toString(), QStringLiteral("cafè"));
    EXPECT_EQ(latin.countLabel()->text(), QStringLiteral("相違 1 箇所 (1 番目)"));
}

TEST_F(ViewerWindowTest, IdenticalFilesAreSaidToBeSo) {
    ViewerWindow& window = Open("同じ\n内容\n", "同じ\n内容\n");
    EXPECT_TRUE(window.messageLabel()->isVisible());
    EXPECT_TRUE(window.messageLabel()->text().contains(QStringLiteral("2つのファイルは同一です")));
    EXPECT_EQ(window.countLabel()->text(), QStringLiteral("相違はありません"));
    EXPECT_EQ(window.rowsView()->model()->rowCount(), 2);
    const int before = CurrentRow();
    Press(Qt::Key_F8);
    EXPECT_EQ(CurrentRow(), before);
    EXPECT_EQ(window.windowTitle(),
              QStringLiteral("第一.txt ⇔ second.txt — 同一 — Diff-Zarvo ビューアー"));
}

TEST_F(ViewerWindowTest, BinaryFilesShowTheFirstDifferenceInsteadOfLines) {
    ViewerWindow& window = Open(std::string("\x00\x10\x20\x30", 4), std::string("\x00\x10\x21", 3));
    EXPECT_FALSE(window.rowsView()->isVisible());
    const QString message = window.messageLabel()->text();
    EXPECT_TRUE(message.contains(QStringLiteral("バイナリ")));
    EXPECT_TRUE(message.contains(QStringLiteral("位置: 2")));
    EXPECT_TRUE(message.contains(QStringLiteral("第一 4 バイト")));
    EXPECT_TRUE(message.contains(QStringLiteral("第二 3 バイト")));
}

TEST_F(ViewerWindowTest, UnreadableFileIsNamedInTheWindow) {
    WriteBytes(dir_ / "second.txt", "x\n");
    window_ = std::make_unique<ViewerWindow>(Compare(dir_ / "gone.txt", dir_ / "second.txt"));
    window_->show();
    EXPECT_FALSE(window_->rowsView()->isVisible());
    EXPECT_TRUE(window_->messageLabel()->text().contains(Path(dir_ / "gone.txt")));
    EXPECT_FALSE(window_->messageLabel()->text().contains(secondPath()));
}

}  // namespace
}  // namespace viewer
