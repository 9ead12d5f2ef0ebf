// The window opened offscreen on real files: what it names, lists, colours and counts, and how
// F8, Shift+F8 and F7 move between differences.
#include <gtest/gtest.h>

#include <QLabel>
#include <QTableView>
#include <QTest>

#include "DiffModel.h"
#include "Look.h"
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

    TempDir dir_;
    std::unique_ptr<ViewerWindow> window_;
};

TEST_F(ViewerWindowTest, ShowsBothFilesRowsKindsAndTheCount) {
    ViewerWindow& window = Open("共通\nold\nkeep\nend\n", "共通\nnew\nkeep\nend\nextra\n");

    EXPECT_TRUE(window.HeaderText().contains(firstPath()));
    EXPECT_TRUE(window.HeaderText().contains(secondPath()));
    EXPECT_TRUE(window.HeaderText().contains(QStringLiteral("UTF-8")));

    // 共通, -old, +new, keep, end, +extra
    ASSERT_EQ(window.rowsView()->model()->rowCount(), 6);
    EXPECT_EQ(KindAt(0), RowKind::Common);
    EXPECT_EQ(KindAt(1), RowKind::Removed);
    EXPECT_EQ(KindAt(2), RowKind::Added);
    EXPECT_EQ(KindAt(5), RowKind::Added);
    EXPECT_EQ(Cell(0, DiffModel::Content).toString(), QStringLiteral("共通"));
    EXPECT_EQ(Cell(2, DiffModel::Content).toString(), QStringLiteral("new"));

    // Line numbers of both sides, blank where a side has no line.
    EXPECT_EQ(Cell(1, DiffModel::FirstNumber).toInt(), 2);
    EXPECT_FALSE(Cell(1, DiffModel::SecondNumber).isValid());
    EXPECT_FALSE(Cell(2, DiffModel::FirstNumber).isValid());
    EXPECT_EQ(Cell(2, DiffModel::SecondNumber).toInt(), 2);
    EXPECT_EQ(Cell(5, DiffModel::FirstNumber).toString(), QString());
    EXPECT_EQ(Cell(5, DiffModel::SecondNumber).toInt(), 5);

    // The two kinds have two colours, and common lines have none.
    const QColor removed = Cell(1, DiffModel::Content, Qt::BackgroundRole).value<QBrush>().color();
    const QColor added = Cell(2, DiffModel::Content, Qt::BackgroundRole).value<QBrush>().color();
    EXPECT_EQ(removed, KindColour(RowKind::Removed));
    EXPECT_EQ(added, KindColour(RowKind::Added));
    EXPECT_NE(removed, added);
    EXPECT_FALSE(Cell(0, DiffModel::Content, Qt::BackgroundRole).isValid());

    EXPECT_TRUE(window.countLabel()->text().startsWith(QStringLiteral("相違 2 箇所")));
    EXPECT_FALSE(window.messageLabel()->isVisible());
}

TEST_F(ViewerWindowTest, KeysMoveBetweenDifferences) {
    Open("a\nb\nc\nd\ne\nf\ng\n", "a\nB\nc\nd\ne\nF\ng\nh\n");
    // a, -b, +B, c, d, e, -f, +F, g, +h: differences start at rows 1, 6 and 9.
    ASSERT_EQ(window_->rowsView()->model()->rowCount(), 10);

    Press(Qt::Key_F8);
    EXPECT_EQ(CurrentRow(), 1);
    EXPECT_TRUE(window_->countLabel()->text().contains(QStringLiteral("1 番目")));
    Press(Qt::Key_F8);
    EXPECT_EQ(CurrentRow(), 6);
    Press(Qt::Key_F8);
    EXPECT_EQ(CurrentRow(), 9);
    EXPECT_TRUE(window_->countLabel()->text().contains(QStringLiteral("3 番目")));
    Press(Qt::Key_F8);  // no further difference: the row stays
    EXPECT_EQ(CurrentRow(), 9);

    Press(Qt::Key_F8, Qt::ShiftModifier);
    EXPECT_EQ(CurrentRow(), 6);
    Press(Qt::Key_F7);
    EXPECT_EQ(CurrentRow(), 1);
    Press(Qt::Key_F7);
    EXPECT_EQ(CurrentRow(), 1);

    // From a row the user picked, F8 goes to the next difference below it.
    window_->rowsView()->setCurrentIndex(window_->rowsView()->model()->index(3, 0));
    Press(Qt::Key_F8);
    EXPECT_EQ(CurrentRow(), 6);
    // From inside a difference, Shift+F8 goes to its start first.
    window_->rowsView()->setCurrentIndex(window_->rowsView()->model()->index(7, 0));
    Press(Qt::Key_F8, Qt::ShiftModifier);
    EXPECT_EQ(CurrentRow(), 6);
}

TEST_F(ViewerWindowTest, VeryLongLinesAreCutForDisplayButComparedWhole) {
    const std::string longLine(100000, 'x');
    // "😀" is a surrogate pair in UTF-16; the cut must not split it.
    const std::string emoji = std::string(DiffModel::kLongestShown - 1, 'e') + "😀tail";
    ViewerWindow& window = Open(longLine + "\n" + emoji + "\n", longLine + "y\n" + emoji + "\n");
    // The lines differ only in their last character, far beyond what is shown.
    ASSERT_EQ(window.rowsView()->model()->rowCount(), 3);
    EXPECT_EQ(KindAt(0), RowKind::Removed);
    EXPECT_EQ(KindAt(1), RowKind::Added);
    const QString shown = Cell(1, DiffModel::Content).toString();
    EXPECT_LT(shown.size(), DiffModel::kLongestShown + 40);
    EXPECT_TRUE(shown.contains(QStringLiteral("98001 文字は省略")));
    const QString cutBeforeEmoji = Cell(2, DiffModel::Content).toString();
    EXPECT_FALSE(cutBeforeEmoji.contains(QChar(0xD83D)));
    EXPECT_TRUE(cutBeforeEmoji.contains(QStringLiteral("残り 6 文字")));
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
