#include "MergeSession.h"

#include <algorithm>
#include <system_error>

#include "Cells.h"
#include "FileRead.h"
#include "Ignore.h"
#include "LineNumber.h"
#include "MergeFiles.h"
#include "SaveFile.h"
#include "Settings.h"
#include "TextEncode.h"
#include "Texts.h"
#include "Unified.h"
#include "Wording.h"
#include "EncodingWords.h"

namespace viewer {

namespace {

// Files up to this size together have their widest lines measured before the window is drawn;
// longer ones beside it, after the widest of their first lines.
constexpr std::size_t kMeasuredAtOnceBytes = std::size_t{4} << 20;
constexpr std::size_t kFirstLinesMeasured = 1000;

constexpr std::u16string_view kSideNames[] = {u"自分", u"共通の元", u"相手", u"結果"};

}  // namespace

const std::vector<MergeLineFile>& MergeLineFiles() {
    static const std::vector<MergeLineFile> files = {
        {MergeColumn::Mine, u"自分の行"},
        {MergeColumn::Base, u"共通の元の行"},
        {MergeColumn::Theirs, u"相手の行"},
        {MergeColumn::Result, u"結果の行"},
    };
    return files;
}

std::optional<MergeSources> ReadMergeSources(const Arguments& arguments, std::u16string& why) {
    MergeSources sources;
    MergeFile* files[] = {&sources.mine, &sources.base, &sources.theirs};
    const std::filesystem::path* paths[] = {&arguments.first, &arguments.base, &arguments.second};
    const std::filesystem::path* labels[] = {&arguments.firstLabel, &arguments.baseLabel,
                                             &arguments.secondLabel};
    for (int i = 0; i < 3; ++i) {
        MergeFile& file = *files[i];
        file.path = *paths[i];
        file.label = *labels[i];
        InputFile input(file.path);
        if (!input.ok() || !input.ReadAll(file.bytes)) {
            why = ShownPath(file.path) + u": " + Reason(input.error());
            return std::nullopt;
        }
        file.encoding = DetectEncoding(file.bytes);
        if (UnitBytes(file.encoding.encoding) != 1) {
            why = ShownPath(file.path) + u": UTF-16 のファイルはマージできません。";
            return std::nullopt;
        }
    }
    sources.output = arguments.output.empty() ? arguments.first : arguments.output;
    InputFile output(sources.output);
    std::string bytes;
    if (output.ok() && output.ReadAll(bytes)) sources.outputBytes = std::move(bytes);
    return sources;
}

void MergedFiles::Merge(const CancelFlag* cancel) {
    lines[0] = RawLines(sources.mine.bytes);
    lines[1] = RawLines(sources.base.bytes);
    lines[2] = RawLines(sources.theirs.bytes);
    chunks = MergeLines(lines[0], lines[1], lines[2], cancel);
}

std::unique_ptr<MergedFiles> Merged(MergeSources sources, const CancelFlag* cancel) {
    auto merged = std::make_unique<MergedFiles>();
    merged->sources = std::move(sources);
    merged->Merge(cancel);
    return merged;
}

MergeSession::MergeSession(MergeSources sources, SessionView& view,
                           std::filesystem::path settingsFile)
    : MergeSession(Merged(std::move(sources)), view, std::move(settingsFile)) {}

MergeSession::MergeSession(std::unique_ptr<MergedFiles> merged, SessionView& view,
                           std::filesystem::path settingsFile)
    : merged_(std::move(merged)), settingsFile_(std::move(settingsFile)), window_(view) {
    if (!settingsFile_.empty()) options_ = LoadChoices(settingsFile_).options;
    lineEnd_ = MarkerLineEnd(lines_[0]);
    resolutions_.resize(chunks_.size());
    Overlook();
    Layout();
}

void MergeSession::Overlook() {
    // A side's lines as the options compare them: blank lines left out when they are overlooked,
    // each line reduced, its end kept unless line ends are overlooked.
    const MergeFile* files[] = {&sources_.mine, &sources_.base, &sources_.theirs};
    IgnoreOptions blanks;
    blanks.allBlanks = true;
    auto compared = [&](int side, LineRange range) {
        std::vector<std::u16string> out;
        for (auto at = range.begin; at < range.end; ++at) {
            const std::string_view line = lines_[side][static_cast<std::size_t>(at)];
            std::u16string text = Reduce(Shown(*files[side], line, at == 0, nullptr), options_);
            if (options_.blankLines && Reduce(text, blanks).empty()) continue;
            if (!options_.lineEnds) text += Decode(line.substr(Body(line).size()), Encoding::Utf8);
            out.push_back(std::move(text));
        }
        return out;
    };
    overlooked_.assign(chunks_.size(), false);
    if (!options_.any() && !options_.lineEnds) return;
    for (std::size_t c = 0; c < chunks_.size(); ++c) {
        const MergeChunk& chunk = chunks_[c];
        if (chunk.kind == MergeKind::Same || chunk.kind == MergeKind::Conflict) continue;
        const bool theirs = chunk.kind == MergeKind::Theirs;
        overlooked_[c] =
            compared(theirs ? 2 : 0, theirs ? chunk.theirs : chunk.mine) == compared(1, chunk.base);
    }
}

void MergeSession::Open() {
    window_.SetTitle(Title());
    window_.Redraw();
    window_.WatchFiles({sources_.mine.path, sources_.base.path, sources_.theirs.path});
    GoToFirst();
}

void MergeSession::GoToFirst() {
    // The first conflict, else the first change.
    for (const bool conflictsOnly : {true, false}) {
        for (std::size_t c = 0; c < chunks_.size(); ++c) {
            if (conflictsOnly ? Unresolved(c) : IsChange(c)) {
                return GoToChunk(c);
            }
        }
    }
    window_.ShowStatus(status_);
}

const std::vector<std::string_view>& MergeSession::MarkerLines(std::size_t c) const {
    std::unique_ptr<Markers>& markers = markers_[c];
    if (!markers) {
        markers = std::make_unique<Markers>();
        AppendConflict(markers->text, lines_[0], lines_[1], lines_[2], chunks_[c],
                       {PrintedName(sources_.mine.Name()), PrintedName(sources_.base.Name()),
                        PrintedName(sources_.theirs.Name())},
                       lineEnd_);
        markers->lines = RawLines(markers->text);
    }
    return markers->lines;
}

std::size_t MergeSession::ResultCount(std::size_t c) const {
    return resultStart_[c + 1] - resultStart_[c];
}

std::optional<std::string_view> MergeSession::ResultLine(std::size_t c, std::size_t at) const {
    const MergeChunk& chunk = chunks_[c];
    const Resolution& resolution = resolutions_[c];
    auto from = [&](int file, LineRange range) -> std::optional<std::string_view> {
        if (at >= static_cast<std::size_t>(range.size())) return std::nullopt;
        return lines_[file][static_cast<std::size_t>(range.begin) + at];
    };
    if (resolution.lines) {
        if (at >= resolution.lines->size()) return std::nullopt;
        return (*resolution.lines)[at];
    }
    switch (resolution.how) {
        case How::Auto:
            if (chunk.kind == MergeKind::Theirs) return from(2, chunk.theirs);
            if (chunk.kind != MergeKind::Conflict) return from(0, chunk.mine);
            if (at >= MarkerLines(c).size()) return std::nullopt;
            return MarkerLines(c)[at];
        case How::Theirs:
            return from(2, chunk.theirs);
        case How::Base:
            return from(1, chunk.base);
        default:
            return from(0, chunk.mine);
    }
}

std::vector<std::string_view> MergeSession::ResultLines(std::size_t c) const {
    std::vector<std::string_view> out;
    for (std::size_t at = 0;; ++at) {
        const std::optional<std::string_view> line = ResultLine(c, at);
        if (!line) return out;
        out.push_back(*line);
    }
}

void MergeSession::Layout() {
    rowStart_.assign(1, 0);
    resultStart_.assign(1, 0);
    for (std::size_t c = 0; c < chunks_.size(); ++c) {
        const MergeChunk& chunk = chunks_[c];
        std::size_t result = 0;
        while (ResultLine(c, result)) ++result;
        const std::size_t rows =
            std::max<std::size_t>({static_cast<std::size_t>(chunk.mine.size()),
                                   static_cast<std::size_t>(chunk.base.size()),
                                   static_cast<std::size_t>(chunk.theirs.size()), result});
        rowStart_.push_back(rowStart_.back() + rows);
        resultStart_.push_back(resultStart_.back() + result);
    }
}

std::size_t MergeSession::ChunkOf(std::size_t row) const {
    return static_cast<std::size_t>(std::upper_bound(rowStart_.begin(), rowStart_.end(), row) -
                                    rowStart_.begin()) -
           1;
}

int MergeSession::UnresolvedConflicts() const {
    int count = 0;
    for (std::size_t c = 0; c < chunks_.size(); ++c) count += Unresolved(c) ? 1 : 0;
    return count;
}

std::u16string MergeSession::Shown(const MergeFile& file, std::string_view line, bool first,
                                   std::vector<MarkSpan>* byteMarks) const {
    return ShownMergeLine(file.encoding, line, first, byteMarks);
}

std::u16string MergeSession::ColumnTitle(MergeColumn column) const {
    switch (column) {
        case MergeColumn::Mine:
            return std::u16string(kSideNames[0]);
        case MergeColumn::Base:
            return std::u16string(kSideNames[1]);
        case MergeColumn::Theirs:
            return std::u16string(kSideNames[2]);
        case MergeColumn::Result:
            return std::u16string(kSideNames[3]);
        default:
            return {};
    }
}

MergeCell MergeSession::CellAt(std::size_t row, MergeColumn column) const {
    MergeCell cell;
    if (row >= RowCount()) return cell;
    const std::size_t c = ChunkOf(row);
    const MergeChunk& chunk = chunks_[c];
    const std::size_t at = row - rowStart_[c];
    // The row's colour: whose change it is, a conflict unresolved or resolved.
    const MergeKind kind = IsChange(c) ? chunk.kind : MergeKind::Same;
    switch (kind) {
        case MergeKind::Same:
            break;
        case MergeKind::Mine:
            cell.background = ColourRole::MergeMine;
            break;
        case MergeKind::Theirs:
            cell.background = ColourRole::MergeTheirs;
            break;
        case MergeKind::Both:
            cell.background = ColourRole::MergeBoth;
            break;
        case MergeKind::Conflict:
            cell.background = Unresolved(c) ? ColourRole::MergeConflict : ColourRole::MergeResolved;
            break;
    }
    if (column == MergeColumn::Mark) {
        static constexpr std::u16string_view kMarks[] = {u"", u"<", u">", u"=", u"!"};
        cell.text = kind == MergeKind::Conflict && !Unresolved(c)
                        ? u"*"
                        : std::u16string(kMarks[static_cast<int>(kind)]);
        cell.empty = cell.text.empty();
        return cell;
    }
    const MergeFile* files[] = {&sources_.mine, &sources_.base, &sources_.theirs};
    const LineRange ranges[] = {chunk.mine, chunk.base, chunk.theirs};
    const int index = (static_cast<int>(column) - 1) / 2;  // MINE, BASE, THEIRS, the result
    const bool number = (static_cast<int>(column) - 1) % 2 == 0;
    if (index < 3) {
        if (at >= static_cast<std::size_t>(ranges[index].size())) return cell;
        const std::size_t line = static_cast<std::size_t>(ranges[index].begin) + at;
        cell.empty = false;
        cell.text = number ? Number(line + 1)
                           : Shown(*files[index], lines_[index][line], line == 0, &cell.byteMarks);
        return cell;
    }
    const std::optional<std::string_view> result = ResultLine(c, at);
    if (!result) return cell;
    const std::size_t line = resultStart_[c] + at;
    cell.empty = false;
    cell.text =
        number ? Number(line + 1) : Shown(sources_.mine, *result, line == 0, &cell.byteMarks);
    return cell;
}

std::size_t MergeSession::NumberCells(MergeColumn column) const {
    std::size_t most = 0;
    switch (column) {
        case MergeColumn::MineNumber:
            most = lines_[0].size();
            break;
        case MergeColumn::BaseNumber:
            most = lines_[1].size();
            break;
        case MergeColumn::TheirsNumber:
            most = lines_[2].size();
            break;
        case MergeColumn::ResultNumber:
            most = resultStart_.back();
            break;
        default:
            return 1;
    }
    return Number(most).size();
}

std::size_t MergeSession::WidestCells(int file) const {
    if (file < 3) {
        MeasureWidest();
        return widest_[file];
    }
    const MergeFile* files[] = {&sources_.mine, &sources_.base, &sources_.theirs};
    // The result's lines are the files' lines, but for lines edited and conflicts' markers.
    std::size_t most = std::max({WidestCells(0), WidestCells(1), WidestCells(2)});
    bool markers = false;
    for (std::size_t c = 0; c < chunks_.size(); ++c) {
        markers = markers || Unresolved(c);
        if (resolutions_[c].how != How::Edited) continue;
        for (const std::string& line : *resolutions_[c].lines) {
            most = std::max(most, TextCells(Shown(sources_.mine, line, false, nullptr)));
        }
    }
    if (markers) {
        for (const MergeFile* file : files) {
            const std::string marker = "<<<<<<< " + PrintedName(file->Name());
            most = std::max(most, TextCells(Shown(sources_.mine, marker, false, nullptr)));
        }
    }
    return most;
}

void MergeSession::MeasureWidest() const {
    if (widestMeasured_ || measuring_) return;
    const MergeFile* files[] = {&sources_.mine, &sources_.base, &sources_.theirs};
    auto measureAll = [&] {
        for (int i = 0; i < 3; ++i)
            widest_[i] = *WidestMergeLine(lines_[i], files[i]->encoding, nullptr);
        widestMeasured_ = true;
    };
    if (sources_.mine.bytes.size() + sources_.base.bytes.size() + sources_.theirs.bytes.size() <
        kMeasuredAtOnceBytes) {
        return measureAll();
    }
    // Until the measure is done, the widest of the first lines (or of what was measured before).
    for (int i = 0; i < 3; ++i) {
        const std::span<const std::string_view> first(
            lines_[i].data(), std::min(lines_[i].size(), kFirstLinesMeasured));
        widest_[i] = std::max(widest_[i], *WidestMergeLine(first, files[i]->encoding, nullptr));
    }
    try {
        // The lines stay as they are until the measure is gone: a reload drops it first.
        const std::array<std::span<const std::string_view>, 3> lines{lines_[0], lines_[1],
                                                                     lines_[2]};
        const std::array<DetectedEncoding, 3> encodings{
            sources_.mine.encoding, sources_.base.encoding, sources_.theirs.encoding};
        measuring_ = std::make_unique<MeasureInBackground<std::array<std::size_t, 3>>>(
            [lines,
             encodings](const CancelFlag* cancel) -> std::optional<std::array<std::size_t, 3>> {
                std::array<std::size_t, 3> cells{};
                for (std::size_t i = 0; i < 3; ++i) {
                    const std::optional<std::size_t> widest =
                        WidestMergeLine(lines[i], encodings[i], cancel);
                    if (!widest) return std::nullopt;
                    cells[i] = *widest;
                }
                return cells;
            },
            [&view = window_] { view.MeasuredInBackground(); });
    } catch (const std::system_error&) {  // no thread to be had: measured here, then
        measureAll();
    }
}

bool MergeSession::TakeMeasured() {
    if (!measuring_ || !measuring_->Result()) return false;
    const std::array<std::size_t, 3> cells = *measuring_->Result();
    measuring_.reset();
    widestMeasured_ = true;
    bool changed = false;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        changed = changed || cells[i] != widest_[i];
        widest_[i] = cells[i];
    }
    return changed;
}

void MergeSession::StopMeasuring() {
    measuring_.reset();
    widestMeasured_ = false;
}

std::array<int, kMergeColumns> MergeSession::ColumnWidths(const ListMetrics& metrics) const {
    std::vector<ColumnNeed> needs;
    for (std::size_t c = 0; c < kMergeColumns; ++c) {
        if (c == 0 || c % 2 == 1) {  // the mark, the numbers
            needs.push_back({NumberCells(static_cast<MergeColumn>(c)), false});
        } else {
            needs.push_back(
                {std::min<std::size_t>(WidestCells(static_cast<int>(c / 2 - 1)), 100000), true});
        }
    }
    const std::vector<int> widths = viewer::ColumnWidths(needs, metrics);
    std::array<int, kMergeColumns> all{};
    std::copy(widths.begin(), widths.end(), all.begin());
    return all;
}

void MergeSession::SetCurrent(std::size_t row) {
    if (row < RowCount()) currentRow_ = row;
}

std::vector<MergeStripMark> MergeSession::StripMarks() const {
    std::vector<MergeStripMark> marks;
    for (std::size_t c = 0; c < chunks_.size(); ++c) {
        if (!IsChange(c)) continue;
        const MergeCell cell = CellAt(rowStart_[c], MergeColumn::Mark);
        marks.push_back({rowStart_[c], rowStart_[c + 1] - rowStart_[c], cell.background});
    }
    return marks;
}

int MergeSession::StripY(std::size_t row, int height) const {
    const std::size_t rows = std::max<std::size_t>(RowCount(), 1);
    return static_cast<int>(static_cast<double>(row) * height / static_cast<double>(rows));
}

void MergeSession::ClickStrip(int y, int height) {
    if (RowCount() == 0 || height <= 0) return;
    const std::size_t row =
        std::min(RowCount() - 1, static_cast<std::size_t>(std::max(0, y)) * RowCount() /
                                     static_cast<std::size_t>(height));
    // A change within a few pixels of the click is what was aimed at.
    for (const MergeStripMark& mark : StripMarks()) {
        if (std::abs(StripY(mark.row, height) - y) <= 3) return GoToChunk(ChunkOf(mark.row));
    }
    currentRow_ = row;
    window_.ScrollTo(row, 0);
    window_.ShowStatus(status_);
}

std::u16string MergeSession::Title() const {
    return (Changed() ? u"● " : u"") + ShownPath(sources_.output.filename()) + u" (マージ) - " +
           std::u16string(texts::kProgram);
}

std::u16string MergeSession::HeaderLine(MergeColumn column) const {
    const MergeFile* file = nullptr;
    switch (column) {
        case MergeColumn::Mine:
            file = &sources_.mine;
            break;
        case MergeColumn::Base:
            file = &sources_.base;
            break;
        case MergeColumn::Theirs:
            file = &sources_.theirs;
            break;
        case MergeColumn::Result:
            return (Changed() ? u"● " : u"") + std::u16string(kSideNames[3]) + u": " +
                   ShownPath(sources_.output) + u"　(" +
                   EncodingName(sources_.mine.encoding.encoding) + u")";
        default:
            return {};
    }
    std::u16string line = ColumnTitle(column) + u": " + ShownPath(file->Name()) + u"　(" +
                          EncodingName(file->encoding.encoding);
    if (file->encoding.badBytes > 0) {
        line += u"、";
        line += BadBytesNote(file->encoding.badBytes);
    }
    line += u")";
    return line;
}

std::u16string MergeSession::CountText() const {
    const int left = UnresolvedConflicts();
    if (left == 0) return u"未解決の競合はありません";
    return u"未解決の競合 " + Number(static_cast<std::size_t>(left)) + u" 件";
}

std::string MergeSession::ResultBytes() const {
    std::string out;
    for (std::size_t c = 0; c < chunks_.size(); ++c) {
        for (const std::string_view line : ResultLines(c)) out += line;
    }
    return out;
}

void MergeSession::Say(std::u16string text, StatusKind kind) {
    status_ = {std::move(text), kind};
    window_.ShowStatus(status_);
}

std::optional<std::size_t> MergeSession::CurrentChange() const {
    if (!currentRow_ || *currentRow_ >= RowCount()) return std::nullopt;
    const std::size_t c = ChunkOf(*currentRow_);
    if (!IsChange(c)) return std::nullopt;
    return c;
}

bool MergeSession::Enabled(MergeCommand command) const {
    switch (command) {
        case MergeCommand::Undo:
            return !undo_.empty();
        case MergeCommand::Redo:
            return !redo_.empty();
        case MergeCommand::TakeMine:
        case MergeCommand::TakeTheirs:
        case MergeCommand::TakeBoth:
        case MergeCommand::TakeBase:
            return CurrentChange().has_value();
        case MergeCommand::TakeMineForAll:
        case MergeCommand::TakeTheirsForAll:
            return UnresolvedConflicts() > 0;
        default:
            return true;
    }
}

void MergeSession::Run(MergeCommand command) {
    if (command != MergeCommand::EditLine) FinishEdit(true);
    switch (command) {
        case MergeCommand::Save:
            Save();
            break;
        case MergeCommand::Reload:
            return Reload();
        case MergeCommand::Close:
            // An open bar closes first.
            if (bar_ != Bar::None) return CloseBar();
            window_.CloseWindow();
            break;
        case MergeCommand::Find:
            if (bar_ == Bar::Find && !findText_.empty()) return Find(true);
            bar_ = Bar::Find;
            return window_.ShowBar(bar_);
        case MergeCommand::FindNext:
            return Find(true);
        case MergeCommand::FindPrevious:
            return Find(false);
        case MergeCommand::GoToLine:
            bar_ = Bar::Line;
            return window_.ShowBar(bar_);
        case MergeCommand::EncodingMine:
        case MergeCommand::EncodingBase:
        case MergeCommand::EncodingTheirs:
            return;  // submenus: Choose
        case MergeCommand::IgnoreTrailingBlanks:
        case MergeCommand::IgnoreAllBlanks:
        case MergeCommand::IgnoreBlankLines:
        case MergeCommand::IgnoreCase:
        case MergeCommand::IgnoreLineEnds: {
            bool* option[] = {&options_.trailingBlanks, &options_.allBlanks, &options_.blankLines,
                              &options_.letterCase, &options_.lineEnds};
            bool& on = *option[static_cast<int>(command) -
                               static_cast<int>(MergeCommand::IgnoreTrailingBlanks)];
            on = !on;
            if (!settingsFile_.empty()) {
                ViewerChoices choices = LoadChoices(settingsFile_);
                choices.options = options_;
                SaveChoices(settingsFile_, choices);
            }
            Overlook();
            window_.Redraw();
            return window_.ShowStatus(status_);
        }
        case MergeCommand::Undo:
        case MergeCommand::Redo: {
            auto& from = command == MergeCommand::Undo ? undo_ : redo_;
            auto& to = command == MergeCommand::Undo ? redo_ : undo_;
            if (from.empty()) return;
            to.push_back(std::move(resolutions_));
            resolutions_ = std::move(from.back());
            from.pop_back();
            Layout();
            window_.SetTitle(Title());
            window_.Redraw();
            if (currentRow_) GoToChunk(ChunkOf(std::min(*currentRow_, RowCount() - 1)));
            break;
        }
        case MergeCommand::TakeMine:
            return Take(How::Mine);
        case MergeCommand::TakeTheirs:
            return Take(How::Theirs);
        case MergeCommand::TakeBoth:
            return Take(How::Both);
        case MergeCommand::TakeBase:
            return Take(How::Base);
        case MergeCommand::TakeMineForAll:
            return TakeForAll(How::Mine);
        case MergeCommand::TakeTheirsForAll:
            return TakeForAll(How::Theirs);
        case MergeCommand::EditLine:
            return EditLine();
        case MergeCommand::Copy:
            return Copy();
        case MergeCommand::NextChange:
            return Move(true, false);
        case MergeCommand::PreviousChange:
            return Move(false, false);
        case MergeCommand::NextConflict:
            return Move(true, true);
        case MergeCommand::PreviousConflict:
            return Move(false, true);
    }
}

bool MergeSession::Checked(MergeCommand command) const {
    switch (command) {
        case MergeCommand::IgnoreTrailingBlanks:
            return options_.trailingBlanks;
        case MergeCommand::IgnoreAllBlanks:
            return options_.allBlanks;
        case MergeCommand::IgnoreBlankLines:
            return options_.blankLines;
        case MergeCommand::IgnoreCase:
            return options_.letterCase;
        case MergeCommand::IgnoreLineEnds:
            return options_.lineEnds;
        default:
            return false;
    }
}

std::size_t MergeSession::Chosen(MergeCommand command) const {
    switch (command) {
        case MergeCommand::EncodingMine:
            return chosen_[0];
        case MergeCommand::EncodingBase:
            return chosen_[1];
        case MergeCommand::EncodingTheirs:
            return chosen_[2];
        default:
            return 0;
    }
}

void MergeSession::Choose(MergeCommand command, std::size_t index) {
    FinishEdit(true);
    MergeFile* files[] = {&sources_.mine, &sources_.base, &sources_.theirs};
    const int which = command == MergeCommand::EncodingMine     ? 0
                      : command == MergeCommand::EncodingBase   ? 1
                      : command == MergeCommand::EncodingTheirs ? 2
                                                                : -1;
    const std::vector<EncodingChoice> choices = EncodingChoices();
    if (which < 0 || index >= choices.size()) return;
    const std::optional<Encoding> encoding = choices[index].encoding;
    // The merge cuts lines at LF bytes: a file read as UTF-16 would not be cut into its lines.
    if (encoding && UnitBytes(*encoding) != 1) {
        return Say(u"UTF-16 のファイルはマージできません。", StatusKind::Warning);
    }
    MergeFile& file = *files[which];
    file.encoding = encoding ? ReadAs(file.bytes, *encoding) : DetectEncoding(file.bytes);
    chosen_[which] = index;
    StopMeasuring();  // the file's lines measure as the encoding now reads them
    Overlook();       // the lines compare as the encoding now reads them
    status_ = {};
    window_.Redraw();
    window_.ShowStatus(status_);
}

void MergeSession::FilesChanged() {
    const MergeFile* files[] = {&sources_.mine, &sources_.base, &sources_.theirs};
    for (const MergeFile* file : files) {
        InputFile input(file->path);
        std::string bytes;
        if (!input.ok() || !input.ReadAll(bytes)) return window_.ShowChangeNotice(true);
        if (bytes == file->bytes) continue;
        // MINE saved over as the result is the window's own doing.
        std::error_code error;
        if (written_ && bytes == *written_ &&
            std::filesystem::equivalent(file->path, sources_.output, error)) {
            continue;
        }
        return window_.ShowChangeNotice(true);
    }
}

void MergeSession::Reload() {
    const bool work = std::any_of(resolutions_.begin(), resolutions_.end(),
                                  [](const Resolution& r) { return r.how != How::Auto; });
    if (work && Changed() && window_.Ask(ReloadQuestion()) != Answer::Yes) {
        return;
    }
    MergeFile* files[] = {&sources_.mine, &sources_.base, &sources_.theirs};
    const std::vector<EncodingChoice> choices = EncodingChoices();
    std::string bytes[3];
    DetectedEncoding encodings[3];
    for (int i = 0; i < 3; ++i) {
        InputFile input(files[i]->path);
        if (!input.ok() || !input.ReadAll(bytes[i])) {
            return Say(ShownPath(files[i]->path) + u": " + Reason(input.error()),
                       StatusKind::Warning);
        }
        const std::optional<Encoding> chosen = choices[chosen_[i]].encoding;
        encodings[i] = chosen ? ReadAs(bytes[i], *chosen) : DetectEncoding(bytes[i]);
        if (UnitBytes(encodings[i].encoding) != 1) {
            return Say(ShownPath(files[i]->path) + u": UTF-16 のファイルはマージできません。",
                       StatusKind::Warning);
        }
    }
    StopMeasuring();  // before the lines it reads change
    for (int i = 0; i < 3; ++i) {
        files[i]->bytes = std::move(bytes[i]);
        files[i]->encoding = encodings[i];
    }
    merged_->Merge();
    lineEnd_ = MarkerLineEnd(lines_[0]);
    resolutions_.assign(chunks_.size(), Resolution{});
    undo_.clear();
    redo_.clear();
    saved_.reset();  // the new merge is not what was saved
    markers_.clear();
    currentRow_.reset();
    Overlook();
    Layout();
    window_.ShowChangeNotice(false);
    window_.SetTitle(Title());
    window_.Redraw();
    status_ = {u"再読み込みしました", StatusKind::Info};
    GoToFirst();
}

void MergeSession::Move(bool forward, bool conflictsOnly) {
    auto wanted = [&](std::size_t c) { return conflictsOnly ? Unresolved(c) : IsChange(c); };
    // From the chunk after (or before) the current row's; from the start without one.
    const std::size_t here = currentRow_ ? ChunkOf(*currentRow_) : chunks_.size();
    if (forward) {
        for (std::size_t c = currentRow_ ? here + 1 : 0; c < chunks_.size(); ++c) {
            if (wanted(c)) {
                status_ = {};
                return GoToChunk(c);
            }
        }
    } else {
        for (std::size_t c = here; c-- > 0;) {
            if (wanted(c)) {
                status_ = {};
                return GoToChunk(c);
            }
        }
    }
    Say(conflictsOnly ? u"この先に未解決の競合はありません" : u"この先に変更はありません",
        StatusKind::Info);
}

void MergeSession::GoToChunk(std::size_t c) {
    currentRow_ = rowStart_[c];
    window_.ScrollTo(*currentRow_, 0);
    window_.ShowStatus(status_);
}

void MergeSession::Change(Resolutions next, std::u16string said) {
    const std::optional<std::size_t> at =
        currentRow_ ? std::optional(ChunkOf(*currentRow_)) : std::nullopt;
    undo_.push_back(std::move(resolutions_));
    redo_.clear();
    resolutions_ = std::move(next);
    Layout();
    window_.SetTitle(Title());
    window_.Redraw();
    status_ = {std::move(said), StatusKind::Info};
    if (at) return GoToChunk(*at);
    window_.ShowStatus(status_);
}

void MergeSession::Take(How how) {
    const std::optional<std::size_t> c = CurrentChange();
    if (!c) return Say(u"変更のある行で使ってください", StatusKind::Warning);
    Resolutions next = resolutions_;
    next[*c] = {how, nullptr};
    if (how == How::Both) {
        // MINE's lines, then THEIRS': a last line of MINE's without its end is given one.
        auto lines = std::make_shared<std::vector<std::string>>();
        const MergeChunk& chunk = chunks_[*c];
        for (std::int32_t i = chunk.mine.begin; i < chunk.mine.end; ++i) {
            lines->emplace_back(lines_[0][static_cast<std::size_t>(i)]);
        }
        if (!lines->empty() && lines->back().back() != '\n' && chunk.theirs.size() > 0) {
            lines->back() += lineEnd_;
        }
        for (std::int32_t i = chunk.theirs.begin; i < chunk.theirs.end; ++i) {
            lines->emplace_back(lines_[2][static_cast<std::size_t>(i)]);
        }
        next[*c].lines = std::move(lines);
    }
    Change(std::move(next), {});
}

void MergeSession::TakeForAll(How how) {
    Resolutions next = resolutions_;
    int taken = 0;
    for (std::size_t c = 0; c < chunks_.size(); ++c) {
        if (!Unresolved(c)) continue;
        next[c] = {how, nullptr};
        ++taken;
    }
    if (taken == 0) return Say(u"未解決の競合はありません", StatusKind::Info);
    Change(std::move(next),
           u"競合 " + Number(static_cast<std::size_t>(taken)) +
               (how == How::Mine ? u" 件に自分の側を取りました" : u" 件に相手の側を取りました"));
}

void MergeSession::EditLine() {
    if (!currentRow_) return;
    const std::size_t c = ChunkOf(*currentRow_);
    const std::size_t at = *currentRow_ - rowStart_[c];
    const std::vector<std::string_view> result = ResultLines(c);
    if (at >= result.size()) return Say(u"この行には結果の行がありません", StatusKind::Warning);
    if (Unresolved(c)) {
        return Say(u"競合を解決してから編集してください（Alt+← で自分の側、Alt+→ で相手の側）",
                   StatusKind::Warning);
    }
    std::string_view line = Body(result[at]);
    if (resultStart_[c] + at == 0)
        line.remove_prefix(std::min(line.size(), sources_.mine.encoding.markBytes));
    const std::optional<std::u16string> text = DecodeExactly(line, sources_.mine.encoding.encoding);
    if (!text) {
        return Say(u"文字として読めないバイトを含む行は編集できません", StatusKind::Warning);
    }
    editRow_ = *currentRow_;
    typed_ = *text;
    window_.OpenEditor(*editRow_, static_cast<std::size_t>(MergeColumn::Result), *text);
}

void MergeSession::Copy() {
    if (!currentRow_) return;
    const std::size_t c = ChunkOf(*currentRow_);
    // A change whole; on a common stretch, the current row's line.
    std::size_t first = resultStart_[c], last = resultStart_[c + 1];
    if (chunks_[c].kind == MergeKind::Same) {
        first += *currentRow_ - rowStart_[c];
        last = first + 1;
    }
    std::u16string text;
    for (std::size_t line = first; line < last; ++line) {
        const std::size_t at = line - resultStart_[c];
        text += CellAt(rowStart_[c] + at, MergeColumn::Result).text;
        text += u'\n';
    }
    window_.CopyToClipboard(text);
    Say(u"結果の " + Number(last - first) + u" 行をコピーしました", StatusKind::Info);
}

void MergeSession::FinishEdit(bool keep) {
    if (!editRow_) return;
    const std::size_t row = *editRow_;
    editRow_.reset();
    window_.CloseEditor();
    if (!keep) return;
    const std::size_t c = ChunkOf(row);
    const std::size_t at = row - rowStart_[c];
    const std::vector<std::string_view> result = ResultLines(c);
    const std::size_t lineNumber = resultStart_[c] + at;
    std::u16string typed = typed_;
    std::erase_if(typed, [](char16_t ch) { return ch == u'\n' || ch == u'\r'; });
    std::u16string unwritable;
    const Encoding encoding = sources_.mine.encoding.encoding;
    const std::optional<std::string> bytes = Encode(typed, encoding, &unwritable);
    if (!bytes) {
        return Say(Number(lineNumber + 1) + u" 行目の「" + unwritable + u"」は " +
                       EncodingName(encoding) + u" で書けません。行は元のままです。",
                   StatusKind::Warning);
    }
    const std::string_view old = result[at];
    const std::string_view body = Body(old);
    std::string line(lineNumber == 0
                         ? body.substr(0, std::min(body.size(), sources_.mine.encoding.markBytes))
                         : "");
    line += *bytes;
    line += old.substr(body.size());  // its own line end, or none
    if (line == old) return;
    auto lines = std::make_shared<std::vector<std::string>>(result.begin(), result.end());
    (*lines)[at] = std::move(line);
    Resolutions next = resolutions_;
    next[c] = {How::Edited, std::move(lines)};
    Change(std::move(next), {});
}

bool MergeSession::Save() {
    const int left = UnresolvedConflicts();
    if (left > 0 &&
        window_.Ask(SaveWithConflictsQuestion(static_cast<std::size_t>(left))) != Answer::Yes) {
        return false;
    }
    const std::string bytes = ResultBytes();
    const std::u16string name = ShownPath(sources_.output);
    // What the file held when it was read, or last saved: another program's change is asked
    // about, not overwritten unseen.
    const std::optional<std::string>& known = written_ ? written_ : sources_.outputBytes;
    WriteResult written = WriteMergeResult(sources_.output, bytes, [&](const std::string* present) {
        return present == nullptr ? !known.has_value() : known && *present == *known;
    });
    if (written.status == WriteStatus::ChangedOnDisk) {
        if (window_.Ask(OverwriteResultQuestion(name)) != Answer::Yes) {
            Say(u"保存しませんでした", StatusKind::Info);
            return false;
        }
        written = WriteMergeResult(sources_.output, bytes, [](const std::string*) { return true; });
    }
    if (written.status != WriteStatus::Written) {
        Say(WriteFailureText(u"「" + name + u"」", written), StatusKind::Warning);
        return false;
    }
    written_ = bytes;
    saved_ = resolutions_;
    savedClean_ = left == 0;
    window_.SetTitle(Title());
    window_.Redraw();
    Say(u"「" + name + u"」に保存しました", StatusKind::Info);
    return true;
}

void MergeSession::Find(bool forward) {
    status_ = {};
    if (findText_.empty()) {
        bar_ = Bar::Find;
        return window_.ShowBar(bar_);
    }
    std::u16string needle = findText_;
    for (char16_t& c : needle) c = FoldCase(c);
    const std::size_t count = RowCount();
    std::size_t row = currentRow_ ? *currentRow_ : (forward ? count - 1 : 0);
    for (std::size_t step = 0; step < count; ++step) {
        row = forward ? (row + 1) % count : (row + count - 1) % count;
        for (const MergeColumn column :
             {MergeColumn::Mine, MergeColumn::Base, MergeColumn::Theirs, MergeColumn::Result}) {
            std::u16string text = CellAt(row, column).text;
            for (char16_t& c : text) c = FoldCase(c);
            if (text.find(needle) == std::u16string::npos) continue;
            currentRow_ = row;
            window_.ScrollTo(row, 0);
            return window_.ShowStatus(status_);
        }
    }
    Say(u"「" + findText_ + u"」は見つかりません", StatusKind::Warning);
}

void MergeSession::GoToLine(MergeColumn file, std::u16string_view typed) {
    status_ = {};
    const std::optional<std::int64_t> number = ParseLineNumber(typed);
    std::optional<std::size_t> row;
    // The line's row in `file`, the last line for a number past the end.
    auto inRanges = [&](std::size_t lines, auto rangeOf) {
        if (!number || lines == 0) return;
        const auto index = static_cast<std::size_t>(
                               std::min<std::int64_t>(*number, static_cast<std::int64_t>(lines))) -
                           1;
        for (std::size_t c = 0; c < chunks_.size(); ++c) {
            const auto [begin, end] = rangeOf(c);
            if (index >= begin && index < end) row = rowStart_[c] + (index - begin);
        }
    };
    auto linesOf = [&](LineRange MergeChunk::*range) {
        return [this, range](std::size_t c) {
            const LineRange r = chunks_[c].*range;
            return std::pair<std::size_t, std::size_t>(static_cast<std::size_t>(r.begin),
                                                       static_cast<std::size_t>(r.end));
        };
    };
    switch (file) {
        case MergeColumn::Mine:
            inRanges(lines_[0].size(), linesOf(&MergeChunk::mine));
            break;
        case MergeColumn::Base:
            inRanges(lines_[1].size(), linesOf(&MergeChunk::base));
            break;
        case MergeColumn::Theirs:
            inRanges(lines_[2].size(), linesOf(&MergeChunk::theirs));
            break;
        default:
            inRanges(resultStart_.back(), [this](std::size_t c) {
                return std::pair<std::size_t, std::size_t>(resultStart_[c], resultStart_[c + 1]);
            });
    }
    if (!row) return Say(u"その行はありません", StatusKind::Warning);
    currentRow_ = *row;
    window_.ScrollTo(*row, 0);
    window_.ShowStatus(status_);
}

void MergeSession::CloseBar() {
    bar_ = Bar::None;
    window_.ShowBar(bar_);
}

bool MergeSession::MayClose() {
    FinishEdit(true);
    if (mayClose_ || !Changed()) return true;
    const Answer answer = window_.Ask(CloseUnsavedMergeQuestion());
    mayClose_ = answer == Answer::No || (answer == Answer::Yes && Save());
    return mayClose_;
}

}  // namespace viewer
