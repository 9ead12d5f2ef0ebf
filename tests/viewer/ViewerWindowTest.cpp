// The Qt window opened offscreen on real files, driven by real keys and clicks: what it paints
// (colours, marks, a wide line scrolled to its end, the strip), its menus and keys reaching the
// session, its status bar and layout, the watch that notices a file saved by rename, and a change
// taken across, lines edited in place and saved to the byte. What the session decides is tested
// once, without a display (tests/session).
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QProgressDialog>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include "Cells.h"
#include "ElidedLabel.h"
#include "OverviewStrip.h"
#include "RowsView.h"
#include "ViewerWindow.h"
#include "support/TempDir.h"

namespace viewer {
namespace {

using testsupport::ReadBytes;
using testsupport::TempDir;
using testsupport::WriteBytes;

class ViewerWindowTest : public ::testing::Test {
protected:
    ViewerWindow& Open(const std::string& first, const std::string& second,
                       const std::string& secondName = "second.txt") {
        WriteBytes(dir_ / "第一.txt", first);
        WriteBytes(dir_ / secondName, second);
        return Show(Compare(dir_ / "第一.txt", dir_ / secondName));
    }
    ViewerWindow& Show(Comparison comparison) {
        window_.reset();
        window_ = std::make_unique<ViewerWindow>(std::move(comparison), dir_ / "Zarvo.ini");
        window_->show();
        window_->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window_.get()));
        return *window_;
    }
    int CurrentRow() const { return window_->rowsView()->currentIndex().row(); }
    void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(window_->rowsView(), static_cast<Qt::Key>(key), modifiers);
    }
    QRect CellRect(int row, int column) const {
        return window_->rowsView()->visualRect(window_->rowsView()->model()->index(row, column));
    }
    QString Pixel(const QImage& image, int x, int y) const { return image.pixelColor(x, y).name(); }

    TempDir dir_;
    std::unique_ptr<ViewerWindow> window_;
};

TEST_F(ViewerWindowTest, PaintsKindsMarksTheCurrentRowAndAWideLineScrolledToItsEnd) {
    ViewerWindow& window = Open("count = 10;\nsame\n", "count = 12;\nsame\n");
    // -count = 10 (current), +count = 12, same; content is column 3.
    ASSERT_EQ(CurrentRow(), 0);
    RowsView* view = window.rowsView();
    const QImage image = view->viewport()->grab().toImage();
    const qreal cell = QFontMetricsF(view->font()).horizontalAdvance(u'0');
    const auto at = [&](const QImage& shot, int row, int cells) {
        const QRect rect = CellRect(row, 3);
        return Pixel(shot, rect.left() + 4 + static_cast<int>((cells + 0.5) * cell),
                     rect.bottom() - 1);
    };
    // The current row keeps its red, darker, in a frame; the changed "10" and "12" stronger.
    EXPECT_EQ(at(image, 0, 20), QStringLiteral("#d8b4b4"));
    EXPECT_EQ(Pixel(image, CellRect(0, 3).left() + 300, CellRect(0, 3).top()),
              QStringLiteral("#303030"));
    EXPECT_EQ(at(image, 0, 9), QStringLiteral("#de8585"));
    EXPECT_EQ(at(image, 1, 20), QStringLiteral("#cceeff"));
    EXPECT_EQ(at(image, 1, 9), QStringLiteral("#80ccff"));
    EXPECT_EQ(at(image, 2, 20), QStringLiteral("#ffffff"));
    Press(Qt::Key_Down);  // the row that was current is plain red again
    const QImage after = view->viewport()->grab().toImage();
    EXPECT_EQ(at(after, 0, 20), QStringLiteral("#ffd4d4"));
    EXPECT_EQ(at(after, 0, 9), QStringLiteral("#ff9999"));

    // 40 tabs and 100 Japanese characters before a change at the end: the list opens at
    // column 0 with its rows in view, and scrolled to its end the change is painted there.
    std::string japanese;
    for (int i = 0; i < 100; ++i) japanese += "語";
    const std::string tabs(40, '\t');
    ViewerWindow& wide = Open("x\n" + tabs + japanese + "A\n", "x\n" + tabs + japanese + "B\n");
    RowsView* list = wide.rowsView();
    QScrollBar* sideways = list->horizontalScrollBar();
    ASSERT_EQ(CurrentRow(), 1);
    EXPECT_GT(sideways->value(), 0);  // the change is off screen: the list went to it
    sideways->setValue(sideways->maximum());
    QApplication::processEvents();
    const QImage end = list->viewport()->grab().toImage();
    const qreal wideCell = QFontMetricsF(list->font()).horizontalAdvance(u'0');
    const QRect added = CellRect(2, 3);
    const int markX = added.left() + 4 + static_cast<int>((520 + 0.5) * wideCell);  // 320 + 200
    ASSERT_LT(markX, list->viewport()->width());
    EXPECT_GE(markX, 0);
    EXPECT_EQ(Pixel(end, markX, added.bottom() - 1), QStringLiteral("#80ccff"));
    EXPECT_EQ(Pixel(end, markX - static_cast<int>(2 * wideCell), added.bottom() - 1),
              QStringLiteral("#cceeff"));
}

TEST_F(ViewerWindowTest, AmbiguousSymbolsGetTheCellsTheirGlyphsTake) {
    // ※ and its kind, drawn full width by a Japanese font, take two cells and do not cover the
    // character after them; in a font that draws them narrow, one.
    ViewerWindow& window = Open("※x\n", "※y\n");
    const QFontMetricsF metrics(window.rowsView()->font());
    const qreal cell = metrics.horizontalAdvance(u'0');
    for (const QChar c : QStringLiteral("※○×△□①②③→←★☆■◆―‖…")) {
        const qreal drawn = metrics.horizontalAdvance(c);
        const std::size_t cells = TextCells(std::u16string(1, c.unicode()));
        EXPECT_EQ(cells, drawn > 1.1 * cell ? 2u : 1u) << QString(c).toStdString();
        EXPECT_LE(drawn, static_cast<qreal>(cells) * cell + 1) << QString(c).toStdString();
    }
    // The changed letter is marked where it is drawn: after the two cells of ※.
    const QImage image = window.rowsView()->viewport()->grab().toImage();
    const QRect added = CellRect(1, 3);
    const int y = added.bottom() - 1;
    const int wide = TextCells(u"※") == 2u ? 1 : 0;
    EXPECT_EQ(Pixel(image, added.left() + 4 + static_cast<int>((1 + wide + 0.5) * cell), y),
              QStringLiteral("#80ccff"));
    EXPECT_EQ(Pixel(image, added.left() + 4 + static_cast<int>((0.5) * cell), y),
              QStringLiteral("#cceeff"));
}

TEST_F(ViewerWindowTest, LineEndsAndControlsAreDrawnAsTheirLettersEachReadable) {
    // No font at hand has ␍ ␊ ␛: the window draws each as its letters in a frame, unlike the
    // others (a missing glyph's box is the same for all).
    ViewerWindow& window = Open("a\r\n", "a\x1b\n");
    window.action(Command::IgnoreLineEnds)->trigger();
    ASSERT_EQ(window.rowsView()->model()->rowCount(), 2);  // -a␍␊, +a␛␊
    const QImage image = window.rowsView()->viewport()->grab().toImage();
    const qreal cell = QFontMetricsF(window.rowsView()->font()).horizontalAdvance(u'0');
    // Where a mark's ink is, whatever the row's colour: "#" for a pixel much darker than the
    // background inside its frame.
    const auto mark = [&](int row, int column) {
        const QRect line = CellRect(row, 3);
        const int x = line.left() + 4 + static_cast<int>(column * cell);
        EXPECT_EQ(Pixel(image, x + 1, line.center().y()), QStringLiteral("#606060"));
        const int background = image.pixelColor(x + 3, line.top() + 3).lightness();
        std::string ink;
        for (int y = line.top() + 3; y < line.bottom() - 2; ++y) {
            for (int i = 3; i < static_cast<int>(2 * cell) - 2; ++i)
                ink += image.pixelColor(x + i, y).lightness() < background - 40 ? '#' : '.';
            ink += '\n';
        }
        EXPECT_NE(ink.find('#'), std::string::npos);
        return ink;
    };
    EXPECT_NE(mark(0, 1), mark(1, 1));  // ␍ and ␛, at the same place in their rows
    EXPECT_NE(mark(0, 1), mark(0, 3));  // ␍ and ␊
    EXPECT_NE(mark(1, 1), mark(1, 4));  // ␛ (three cells) and ␊
}

TEST_F(ViewerWindowTest, ALongLineNeverOpensTheListSideways) {
    // A change near the start of rows wider than the window: numbers, marks and text in view.
    std::string first, second;
    for (int i = 0; i < 5; ++i) first += std::string(400, 'a' + i) + "\n";
    second = first;
    second[3] = '!';
    ViewerWindow& window = Open(first, second);
    EXPECT_EQ(window.rowsView()->horizontalScrollBar()->value(), 0);
    Press(Qt::Key_F8);
    Press(Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(window.rowsView()->horizontalScrollBar()->value(), 0);
    EXPECT_EQ(window.rowsView()->model()->index(0, 0).data().toString(), QStringLiteral("1"));
    // Scrolled to its end, the line's last letters are drawn there (the part in view of its run).
    QScrollBar* sideways = window.rowsView()->horizontalScrollBar();
    sideways->setValue(sideways->maximum());
    QApplication::processEvents();
    const QImage end = window.rowsView()->viewport()->grab().toImage();
    const qreal cell = QFontMetricsF(window.rowsView()->font()).horizontalAdvance(u'0');
    const QRect line = CellRect(2, 3);  // "ccc…"
    const int last = line.left() + 4 + static_cast<int>(400 * cell);
    ASSERT_LT(last, window.rowsView()->viewport()->width());
    int ink = 0;
    for (int x = last - static_cast<int>(10 * cell); x < last; ++x) {
        for (int y = line.top(); y < line.bottom(); ++y)
            ink += end.pixelColor(x, y).lightness() < 128;
    }
    EXPECT_GT(ink, 10);
}

TEST_F(ViewerWindowTest, MenusToolbarAndKeysComeFromTheCommandTable) {
    ViewerWindow& window = Open("a\nb\nc\nd\ne\nf\ng\n", "a\nB\nc\nd\ne\nF\ng\nh\n");
    // Each shortcut shown once: in the menu's column, not in the label.
    QAction* side = window.action(Command::SideBySide);
    EXPECT_EQ(side->text(), QStringLiteral("左右に並べて表示"));
    EXPECT_EQ(side->shortcut(), QKeySequence(QStringLiteral("Ctrl+T")));
    EXPECT_EQ(side->toolTip(), QStringLiteral("左右に並べて表示 (Ctrl+T)"));
    QStringList titles;
    for (QAction* menu : window.menuBar()->actions()) titles << menu->text();
    EXPECT_EQ(titles, (QStringList{QStringLiteral("ファイル(&F)"), QStringLiteral("編集(&E)"),
                                   QStringLiteral("移動(&G)"), QStringLiteral("表示(&V)"),
                                   QStringLiteral("文字コード(&C)")}));

    // a, -b, +B, c, d, e, -f, +F, g, +h: differences start at rows 1, 6 and 9.
    EXPECT_EQ(CurrentRow(), 1);
    Press(Qt::Key_F8);
    EXPECT_EQ(CurrentRow(), 6);
    Press(Qt::Key_F8, Qt::ShiftModifier);
    EXPECT_EQ(CurrentRow(), 1);
    Press(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(CurrentRow(), 9);
    Press(Qt::Key_F8);
    EXPECT_EQ(window.statusLabel()->text(), QStringLiteral("これより後に相違はありません"));
    EXPECT_TRUE(window.statusLabel()->isVisible());
    EXPECT_EQ(window.countLabel()->text(), QStringLiteral("相違 3 箇所 (3 番目)"));
    Press(Qt::Key_F7);
    EXPECT_EQ(CurrentRow(), 6);
    // A click makes the row current; F8 goes on from there.
    QTest::mouseClick(window.rowsView()->viewport(), Qt::LeftButton, Qt::NoModifier,
                      CellRect(3, 3).center());
    EXPECT_EQ(CurrentRow(), 3);
    Press(Qt::Key_F8);
    EXPECT_EQ(CurrentRow(), 6);

    // Side by side from the toolbar's button's key, and back.
    Press(Qt::Key_T, Qt::ControlModifier);
    EXPECT_TRUE(side->isChecked());
    EXPECT_EQ(window.rowsView()->model()->columnCount(), 5);
    EXPECT_EQ(CurrentRow(), 5);  // a, b | B, c, d, e, f | F
    Press(Qt::Key_T, Qt::ControlModifier);
    EXPECT_EQ(window.rowsView()->model()->columnCount(), 4);

    // Find and go to line in their bars; Esc closes a bar, then the window.
    Press(Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(window.findBox()->hasFocus());
    QTest::keyClicks(window.findBox(), QStringLiteral("zzz"));
    QTest::keyClick(window.findBox(), Qt::Key_Return);
    EXPECT_EQ(window.statusLabel()->text(), QStringLiteral("「zzz」は見つかりません"));
    QTest::keyClick(window.findBox(), Qt::Key_Escape);
    EXPECT_FALSE(window.findBox()->isVisible());
    EXPECT_TRUE(window.isVisible());
    Press(Qt::Key_G, Qt::ControlModifier);
    ASSERT_TRUE(window.lineBox()->hasFocus());
    QTest::keyClick(window.lineFileBox(), Qt::Key_Down);
    QTest::keyClicks(window.lineBox(), QStringLiteral("8"));
    QTest::keyClick(window.lineBox(), Qt::Key_Return);
    EXPECT_EQ(CurrentRow(), 9);  // the second file's line 8: h

    // Two rows selected by keys, copied.
    Press(Qt::Key_Up, Qt::ShiftModifier);
    Press(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral(" g\n+h\n"));
    EXPECT_EQ(window.statusLabel()->text(), QStringLiteral("2 行をコピーしました"));

    for (const QKeySequence& keys :
         {QKeySequence(Qt::Key_Escape), QKeySequence(QStringLiteral("Ctrl+W")),
          QKeySequence(QStringLiteral("Ctrl+Q"))}) {
        Open("a\n", "b\n");
        QTest::keySequence(window_->rowsView(), keys);
        EXPECT_FALSE(window_->isVisible()) << keys.toString().toStdString();
    }
}

TEST_F(ViewerWindowTest, EncodingSubmenusTheLineEndItemAndStrayBytesPaintedApart) {
    ViewerWindow& window = Open("日本語の行\ncaf\xE9\n", "日本語の行\ncafe\n");
    QAction* ends = window.action(Command::IgnoreLineEnds);
    EXPECT_EQ(ends->text(), QStringLiteral("改行コードの違いを無視"));
    EXPECT_TRUE(ends->isCheckable());
    EXPECT_TRUE(ends->isChecked());
    QMenu* encodings = window.menuBar()->actions().at(4)->menu();
    ASSERT_NE(encodings, nullptr);
    QStringList titles;
    for (QAction* item : encodings->actions()) {
        titles << item->text();
        ASSERT_NE(item->menu(), nullptr);
        const QList<QAction*> entries = item->menu()->actions();
        ASSERT_EQ(entries.size(), 8);
        EXPECT_EQ(entries[0]->text(), QStringLiteral("自動判別"));
        EXPECT_TRUE(entries[0]->isChecked());
        EXPECT_EQ(entries[5]->text(), QStringLiteral("日本語 (EUC-JP)"));
    }
    EXPECT_EQ(titles, (QStringList{QStringLiteral("第一のファイルの文字コード"),
                                   QStringLiteral("第二のファイルの文字コード")}));

    // "<E9>" in a grey box of its own; the rest of the removed line on its red.
    RowsView* view = window.rowsView();
    const QImage image = view->viewport()->grab().toImage();
    const qreal cell = QFontMetricsF(view->font()).horizontalAdvance(u'0');
    const QRect line = CellRect(1, 3);
    const int y = line.bottom() - 2;
    EXPECT_EQ(Pixel(image, line.left() + 4 + static_cast<int>(4.5 * cell), y),
              QStringLiteral("#d9d9d9"));
    EXPECT_EQ(Pixel(image, line.left() + 4 + static_cast<int>(9.5 * cell), y),
              QStringLiteral("#d8b4b4"));
    // Copied, the line holds U+FFFD where the byte was, not the mark; the status bar says so.
    Press(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("-caf\uFFFD\n"));
    EXPECT_EQ(window.statusLabel()->text(),
              QStringLiteral("1 行をコピーしました（文字にならないバイト 1 個は「\uFFFD」(U+FFFD) "
                             "にしました）"));

    // Picking the first file's encoding reads it again: its radio item follows.
    window.choices(Command::EncodingFirst)[7]->trigger();
    EXPECT_TRUE(window.choices(Command::EncodingFirst)[7]->isChecked());
    EXPECT_FALSE(window.choices(Command::EncodingFirst)[0]->isChecked());
    EXPECT_EQ(window.session().comparison().first().encoding, Encoding::Windows1252);
}

TEST_F(ViewerWindowTest, OverviewStripPaintsEveryDifferenceAndAClickGoesThere) {
    std::string first, second;
    for (int i = 0; i < 300; ++i) {
        const std::string line = "line " + std::to_string(i) + "\n";
        first += line;
        second += i == 20 || i == 280 ? "changed " + line : line;
    }
    ViewerWindow& window = Open(first, second);
    OverviewStrip* strip = window.overview();
    ASSERT_TRUE(strip->isVisible());
    const QImage image = strip->grab().toImage();
    const int y = 281 * strip->height() / 302;
    EXPECT_EQ(Pixel(image, 2, y), QStringLiteral("#e88b8b"));
    EXPECT_EQ(Pixel(image, strip->width() - 3, 282 * strip->height() / 302),
              QStringLiteral("#74b9e8"));
    EXPECT_EQ(Pixel(image, 2, 150 * strip->height() / 302), QStringLiteral("#f2f2f2"));
    QTest::mouseClick(strip, Qt::LeftButton, Qt::NoModifier, QPoint(strip->width() / 2, y));
    EXPECT_EQ(CurrentRow(), 281);
}

TEST_F(ViewerWindowTest, StatusBarAndHeaderKeepTheirRoom) {
    // A long folder name is cut in the middle: the window fits a small screen.
    const std::string folder(250, 'f');
    std::filesystem::create_directories(dir_ / folder);
    WriteBytes(dir_ / folder / "a.txt", "Hello\n");
    WriteBytes(dir_ / folder / "b.txt", "hello\n");
    ViewerWindow& window = Show(Compare(dir_ / folder / "a.txt", dir_ / folder / "b.txt"));
    EXPECT_LT(window.minimumSizeHint().width(), 800);
    window.resize(700, 500);
    QApplication::processEvents();
    const QString shown = window.nameLabel(true)->shownText();
    EXPECT_TRUE(shown.contains(QChar(0x2026))) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith(QStringLiteral("a.txt　(UTF-8)")));

    // The option's note stays beside a message; the count keeps its own room.
    window.action(Command::IgnoreCase)->trigger();
    EXPECT_TRUE(window.action(Command::IgnoreCase)->isChecked());
    Press(Qt::Key_F8);
    EXPECT_TRUE(window.statusLabel()->isVisible());
    EXPECT_EQ(window.hiddenLabel()->text(),
              QStringLiteral("大文字と小文字を無視しています（1 行の相違を表示していません）"));
    EXPECT_TRUE(window.hiddenLabel()->isVisible());
    EXPECT_EQ(window.countLabel()->text(), QStringLiteral("相違はありません"));
    EXPECT_LT(window.countLabel()->width(), window.width() / 2);
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

// No line in common as they stand; without case, 200,000 lines in a scrambled order, which take
// seconds to compare.
std::pair<std::string, std::string> SlowWithoutCase() {
    std::string first, second;
    for (std::int64_t i = 0; i < 200000; ++i) {
        first += "row " + std::to_string(i) + "\n";
        second += "ROW " + std::to_string((i * 7919) % 200000) + "\n";
    }
    return {first, second};
}

TEST_F(ViewerWindowTest, ALongComparisonSaysSoAndEscStopsItLeavingTheWindowAsItWas) {
    const auto [first, second] = SlowWithoutCase();
    ViewerWindow& window = Open(first, second);
    const QString count = window.countLabel()->text();
    EscapeOnProgress escape;
    qApp->installEventFilter(&escape);
    window.action(Command::IgnoreCase)->trigger();
    qApp->removeEventFilter(&escape);
    EXPECT_TRUE(escape.shown);
    EXPECT_FALSE(window.action(Command::IgnoreCase)->isChecked());
    EXPECT_EQ(window.session().comparison().rows().size(), 400000u);
    EXPECT_EQ(window.countLabel()->text(), count);
}

// The comparison after an undo may take as long as the first one: the same progress, and Esc
// leaves the edit as it was.
TEST_F(ViewerWindowTest, ALongComparisonAfterAnUndoIsStoppedByEscAndTheEditStays) {
    const auto [first, second] = SlowWithoutCase();
    ViewerWindow& window = Open(first, second);
    // Everything taken into the second file: the files the same, quick to compare without case.
    Press(Qt::Key_A, Qt::ControlModifier);
    window.action(Command::TakeToSecond)->trigger();
    EXPECT_EQ(window.statusLabel()->text(), QStringLiteral("第二のファイルへ取り込みました"));
    window.action(Command::IgnoreCase)->trigger();
    ASSERT_TRUE(window.action(Command::IgnoreCase)->isChecked());
    EXPECT_EQ(window.countLabel()->text(), QStringLiteral("相違はありません"));
    EscapeOnProgress escape;
    qApp->installEventFilter(&escape);
    window.action(Command::Undo)->trigger();
    qApp->removeEventFilter(&escape);
    EXPECT_TRUE(escape.shown);
    EXPECT_EQ(window.statusLabel()->text(), QStringLiteral("中止しました。何も変えていません"));
    EXPECT_EQ(window.countLabel()->text(), QStringLiteral("相違はありません"));
    EXPECT_TRUE(window.action(Command::Undo)->isEnabled());
    // What the window shows is what the save writes.
    window.action(Command::SaveSecond)->trigger();
    EXPECT_EQ(ReadBytes(dir_ / "second.txt"), first);
}

TEST_F(ViewerWindowTest, SavedByRenameUnderANameNotUtf8TheChangeBarShowsAndF5Reloads) {
    const std::string name = "caf\xe9.txt";  // Latin-1 bytes: not a UTF-8 name
    ViewerWindow& window = Open("one\ntwo\n", "one\nTWO\n", name);
    EXPECT_FALSE(window.changeNotice()->isVisible());
    // As editors save: a new file renamed over the old one.
    WriteBytes(dir_ / "new.tmp", "one\ntwo\nthree\n");
    std::filesystem::rename(dir_ / "new.tmp", dir_ / name);
    // The watch is inotify's: wait for its event, not for a time.
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.changeNotice()->isVisible(); }, 10000));
    const QImage bar = window.changeNotice()->grab().toImage();
    EXPECT_EQ(Pixel(bar, 2, 2), QStringLiteral("#fff4c0"));
    Press(Qt::Key_F5);
    EXPECT_FALSE(window.changeNotice()->isVisible());
    EXPECT_EQ(window.statusLabel()->text(), QStringLiteral("再読み込みしました"));
    EXPECT_EQ(window.rowsView()->model()->rowCount(), 3);

    // Deleted and reloaded: the message under the header, at the top; created again: noticed.
    std::filesystem::remove(dir_ / name);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.changeNotice()->isVisible(); }, 10000));
    Press(Qt::Key_F5);
    EXPECT_FALSE(window.rowsView()->isVisible());
    EXPECT_TRUE(window.messageLabel()->isVisible());
    EXPECT_LT(window.messageLabel()->mapTo(&window, QPoint(0, 0)).y(), window.height() / 3);
    WriteBytes(dir_ / name, "one\n");
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.changeNotice()->isVisible(); }, 10000));
    // The bar's own button reads them again as F5 does.
    auto* reload = window.changeNotice()->findChild<QPushButton*>();
    ASSERT_NE(reload, nullptr);
    EXPECT_EQ(reload->text(), QStringLiteral("再読み込み (F5)"));
    reload->click();
    EXPECT_FALSE(window.changeNotice()->isVisible());
    EXPECT_TRUE(window.rowsView()->isVisible());
    EXPECT_EQ(window.rowsView()->model()->rowCount(), 2);
}

// Answers the window's next question as a user would: records its buttons, then presses the
// one named (or Esc when none is).
class AnswerQuestion : public QObject {
public:
    explicit AnswerQuestion(QString press) : press_(std::move(press)) {
        qApp->installEventFilter(this);
    }
    ~AnswerQuestion() override { qApp->removeEventFilter(this); }
    QStringList buttons;
    QString defaultButton;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* box = qobject_cast<QMessageBox*>(watched);
        if (box == nullptr || event->type() != QEvent::Show || !buttons.isEmpty()) return false;
        for (QAbstractButton* button : box->buttons()) buttons << button->text();
        defaultButton = box->defaultButton() ? box->defaultButton()->text() : QString();
        QTimer::singleShot(0, box, [box, press = press_] {
            for (QAbstractButton* button : box->buttons()) {
                if (button->text() == press) return button->click();
            }
            QTest::keyClick(box, Qt::Key_Escape);
        });
        return false;
    }

private:
    QString press_;
};

TEST_F(ViewerWindowTest, F2OnALineHoldingALoneCrKeepsTheCrAndWhatWasTyped) {
    ViewerWindow& window = Open("same\nold\rpart\n", "same\nnew\n");
    ASSERT_EQ(CurrentRow(), 1);  // -old␍part
    QLineEdit* editor = window.lineEditor();
    Press(Qt::Key_F2);
    ASSERT_TRUE(editor->hasFocus());
    EXPECT_EQ(editor->text(), QStringLiteral("old\rpart"));
    QTest::keyClick(editor, Qt::Key_End);
    QTest::keyClicks(editor, QStringLiteral("2"));
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_EQ(window.statusLabel()->text(), QStringLiteral("行を編集しました"));
    Press(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(ReadBytes(dir_ / "第一.txt"), "same\nold\rpart2\n");
}

TEST_F(ViewerWindowTest, TakesAChangeAcrossEditsLinesInPlaceAndSavesOnlyOnCtrlS) {
    // The second file in CR LF without a final newline: what is written keeps both.
    ViewerWindow& window =
        Open("one\ntwo\nthree\nfour\n", "one\r\nTWO\r\nthree\r\nFOUR", "second.txt");
    RowsView* view = window.rowsView();
    // one, -two, +TWO, three, -four, +FOUR: both rows of the first difference selected.
    ASSERT_EQ(CurrentRow(), 1);
    Press(Qt::Key_Down, Qt::ShiftModifier);
    ASSERT_EQ(view->selectionModel()->selectedRows().size(), 2);
    Press(Qt::Key_Right, Qt::AltModifier);
    EXPECT_EQ(window.statusLabel()->text(), QStringLiteral("第二のファイルへ取り込みました"));
    EXPECT_EQ(window.windowTitle(),
              QStringLiteral("● 第一.txt ⇔ second.txt — 相違 1 箇所 — Diff-Zarvo ビューアー"));
    EXPECT_EQ(view->model()->rowCount(), 5);
    EXPECT_EQ(view->selectionModel()->selectedRows().size(), 1);
    Press(Qt::Key_C, Qt::ControlModifier);  // what the view shows selected is what is copied
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral(" two\n"));
    EXPECT_EQ(ReadBytes(dir_ / "second.txt"), "one\r\nTWO\r\nthree\r\nFOUR");  // not yet saved

    // F2 on "two", now common: the second file's line, in an editor over its text.
    QLineEdit* editor = window.lineEditor();
    ASSERT_EQ(CurrentRow(), 1);
    Press(Qt::Key_F2);
    ASSERT_TRUE(editor->isVisible());
    EXPECT_TRUE(editor->hasFocus());
    EXPECT_EQ(editor->text(), QStringLiteral("two"));
    EXPECT_EQ(editor->accessibleName(), QStringLiteral("行を編集"));
    EXPECT_EQ(editor->font(), view->font());
    EXPECT_EQ(editor->geometry().top(), CellRect(1, 3).top());
    // Compared as typed: the line splits into -two, +two!; the editor follows it to row 2.
    QTest::keyClicks(editor, QStringLiteral("!"));
    EXPECT_EQ(view->model()->rowCount(), 6);
    EXPECT_EQ(editor->geometry().top(), CellRect(2, 3).top());
    QInputMethodEvent typed;  // Japanese comes from the input method, not from keys
    typed.setCommitString(QStringLiteral("です"));
    QApplication::sendEvent(editor, &typed);
    EXPECT_TRUE(editor->hasFocus());  // the list drawn again at each key leaves it where it was
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(window.statusLabel()->text(), QStringLiteral("行を編集しました"));
    EXPECT_EQ(view->model()->index(2, 3).data().toString(), QStringLiteral("two!です"));

    // A double click on "FOUR" edits it; a click on another row keeps what was typed.
    // As the system sends it (press, release, press): a widget's double click alone has no press.
    const QPoint four = view->viewport()->mapTo(&window, CellRect(5, 3).center());
    QTest::mouseDClick(window.windowHandle(), Qt::LeftButton, Qt::NoModifier, four);
    ASSERT_TRUE(editor->isVisible());
    EXPECT_EQ(editor->text(), QStringLiteral("FOUR"));
    for (int i = 0; i < 3; ++i) QTest::keyClick(editor, Qt::Key_Backspace);
    QTest::keyClicks(editor, QStringLiteral("ive"));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, CellRect(0, 3).center());
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(CurrentRow(), 0);

    // Esc puts the line back and leaves the window open.
    Press(Qt::Key_F2);
    ASSERT_TRUE(editor->hasFocus());
    QTest::keyClicks(editor, QStringLiteral("xyz"));
    QTest::keyClick(editor, Qt::Key_Escape);
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(editor->isVisible());
    EXPECT_TRUE(view->hasFocus());
    EXPECT_EQ(window.statusLabel()->text(), QStringLiteral("編集を取り消しました"));
    EXPECT_EQ(view->model()->index(0, 3).data().toString(), QStringLiteral("one"));

    // Another program wrote the second file meanwhile: asked; Esc writes nothing.
    WriteBytes(dir_ / "second.txt", "theirs\n");
    {
        AnswerQuestion escape({});
        Press(Qt::Key_S, Qt::ControlModifier);
        EXPECT_EQ(escape.buttons,
                  (QStringList{QStringLiteral("上書き保存"), QStringLiteral("比較し直す"),
                               QStringLiteral("キャンセル")}));
        EXPECT_EQ(escape.defaultButton, QStringLiteral("キャンセル"));
    }
    EXPECT_EQ(ReadBytes(dir_ / "second.txt"), "theirs\n");
    EXPECT_TRUE(window.windowTitle().startsWith(QStringLiteral("● ")));
    window.activateWindow();  // as the desktop does when the box is gone: its keys go to it
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    {
        AnswerQuestion overwrite(QStringLiteral("上書き保存"));
        Press(Qt::Key_S, Qt::ControlModifier);
        EXPECT_FALSE(overwrite.buttons.isEmpty());
    }
    EXPECT_EQ(ReadBytes(dir_ / "第一.txt"), "one\ntwo\nthree\nfour\n");
    EXPECT_EQ(ReadBytes(dir_ / "second.txt"),
              "one\r\ntwo!\xE3\x81\xA7\xE3\x81\x99\r\nthree\r\nFive");
    EXPECT_EQ(window.statusLabel()->text(), QStringLiteral("「second.txt」を保存しました"));
    EXPECT_EQ(window.windowTitle(),
              QStringLiteral("第一.txt ⇔ second.txt — 相違 2 箇所 — Diff-Zarvo ビューアー"));

    // A line longer than a line edit holds unless told (32,767 characters) is edited whole.
    const std::string longLine(40000, 'a');
    Open("x\n", "x\n" + longLine + "\n");  // x, +aaa…: current
    Press(Qt::Key_F2);
    QTest::keyClicks(window_->lineEditor(), QStringLiteral("b"));
    QTest::keyClick(window_->lineEditor(), Qt::Key_Return);
    Press(Qt::Key_S, Qt::ControlModifier);
    const std::string saved = ReadBytes(dir_ / "second.txt");
    EXPECT_EQ(saved.size(), 40004u);
    EXPECT_TRUE(saved == "x\n" + longLine + "b\n");
}

TEST_F(ViewerWindowTest, ClicksShiftAndCtrlClicksAndADragSelectWholeRowsForCopy) {
    ViewerWindow& window = Open("0\n1\n2\n3\n4\n5\n6\n", "0\n1\n2\n3\n4\n5\n6\nnew\n");
    QWidget* rows = window.rowsView()->viewport();
    const auto at = [&](int row) { return CellRect(row, 3).center(); };
    QTest::mouseClick(rows, Qt::LeftButton, Qt::NoModifier, at(1));
    QTest::mouseClick(rows, Qt::LeftButton, Qt::ShiftModifier, at(3));
    QTest::mouseClick(rows, Qt::LeftButton, Qt::ControlModifier, at(5));
    QTest::mouseClick(rows, Qt::LeftButton, Qt::ControlModifier, at(2));  // out again
    EXPECT_EQ(CurrentRow(), 2);
    Press(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral(" 1\n 3\n 5\n"));
    // A drag from row 4 up to row 2 selects the three rows, and only those.
    QTest::mousePress(rows, Qt::LeftButton, Qt::NoModifier, at(4));
    QMouseEvent move(QEvent::MouseMove, QPointF(at(2)), rows->mapToGlobal(QPointF(at(2))),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(rows, &move);
    QTest::mouseRelease(rows, Qt::LeftButton, Qt::NoModifier, at(2));
    Press(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral(" 2\n 3\n 4\n"));
    EXPECT_EQ(window.statusLabel()->text(), QStringLiteral("3 行をコピーしました"));
    // Shift+Up from there, then Home and End go to the first and last rows.
    Press(Qt::Key_Up, Qt::ShiftModifier);
    Press(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral(" 1\n 2\n 3\n 4\n"));
    Press(Qt::Key_End);
    EXPECT_EQ(CurrentRow(), 7);
    Press(Qt::Key_Home);
    EXPECT_EQ(CurrentRow(), 0);
}

TEST_F(ViewerWindowTest, MillionsOfRowsShowTheirFirstScreenAndAllOfThemAreSelectedAtOnce) {
    // 3,000,000 lines of "a" but for a line of 250 letters near the end; the second file's
    // line 1,500,000 is "b".
    std::string first;
    for (int i = 0; i < 3'000'000; ++i)
        first += i == 2'900'000 ? std::string(250, 'w') + "\n" : "a\n";
    std::string second = first;
    second[2 * 1'499'999] = 'b';
    ViewerWindow& window = Open(first, second);
    RowsView* view = window.rowsView();
    // The wide line is measured after the window is drawn, and the content column widened to it.
    const qreal cell = QFontMetricsF(view->font()).horizontalAdvance(u'0');
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->columnWidth(3) >= 250 * cell; }, 10000));
    ASSERT_EQ(view->model()->rowCount(), 3'000'001);
    // The first difference is current, in the middle of the list, drawn as the row it is.
    ASSERT_EQ(CurrentRow(), 1'499'999);
    const QRect current = CellRect(1'499'999, 3);
    EXPECT_GT(current.top(), view->viewport()->height() / 4);
    EXPECT_LT(current.bottom(), view->viewport()->height() * 3 / 4);
    EXPECT_EQ(view->indexAt(current.center()).row(), 1'499'999);
    EXPECT_EQ(view->model()->index(1'499'999, 0).data().toString(), QStringLiteral("1500000"));
    EXPECT_EQ(view->model()->index(1'500'000, 1).data().toString(), QStringLiteral("1500000"));
    EXPECT_EQ(view->model()->index(1'500'001, 0).data().toString(), QStringLiteral("1500001"));
    const QImage image = view->viewport()->grab().toImage();
    EXPECT_EQ(Pixel(image, current.left() + 40, CellRect(1'500'001, 3).center().y()),
              QStringLiteral("#ffffff"));
    EXPECT_EQ(Pixel(image, current.left() + 40, CellRect(1'500'000, 3).center().y()),
              QStringLiteral("#cceeff"));

    // Ctrl+A is one range of rows, however many; a row clicked with Ctrl leaves it in two.
    Press(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(view->selectionModel()->selection().size(), 1);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ControlModifier, current.center());
    EXPECT_EQ(view->selectionModel()->selection().size(), 2);
    // End, then Shift+Up twice: the last three rows are copied.
    Press(Qt::Key_End);
    EXPECT_EQ(CurrentRow(), 3'000'000);
    EXPECT_EQ(view->indexAt(CellRect(3'000'000, 3).center()).row(), 3'000'000);
    Press(Qt::Key_Up, Qt::ShiftModifier);
    Press(Qt::Key_Up, Qt::ShiftModifier);
    Press(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral(" a\n a\n a\n"));
    EXPECT_EQ(window.statusLabel()->text(), QStringLiteral("3 行をコピーしました"));
}

TEST_F(ViewerWindowTest, BinaryAndIdenticalFilesShowAMessageInsteadOfRows) {
    ViewerWindow& window = Open(std::string("\x00\x10\x20\x30", 4), std::string("\x00\x10\x21", 3));
    EXPECT_FALSE(window.rowsView()->isVisible());
    EXPECT_TRUE(window.messageLabel()->text().contains(QStringLiteral("位置: 2")));
    EXPECT_FALSE(window.action(Command::NextDifference)->isEnabled());
    ViewerWindow& same = Open("同じ\n", "同じ\n");
    EXPECT_EQ(same.messageLabel()->text(), QStringLiteral("2つのファイルは同一です。"));
    EXPECT_TRUE(same.messageLabel()->isVisible());
}

}  // namespace
}  // namespace viewer
