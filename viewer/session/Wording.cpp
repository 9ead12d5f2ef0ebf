// Numbers, paths and the core's reports as the window's texts write them.
#include "Wording.h"

#include "Cells.h"
#include "FolderList.h"
#include "TextDecode.h"
#include "EncodingWords.h"

namespace viewer {

std::u16string Number(std::uint64_t n) {
    std::u16string text;
    do {
        text.insert(text.begin(), static_cast<char16_t>(u'0' + n % 10));
        n /= 10;
    } while (n > 0);
    return text;
}

std::u16string ShownPath(const std::filesystem::path& path) {
#ifdef _WIN32
    return ShownName(path.u16string());
#else
    return ShownName(Decode(path.native(), Encoding::Utf8));
#endif
}

std::u16string Reason(const FileError& error) {
    switch (error.problem) {
        case FileProblem::None:
            return {};
        case FileProblem::EmptyPath:
            return u"パスが空です";
        case FileProblem::NotFound:
            return u"ファイルが見つかりません";
        case FileProblem::EntryNotFound:
            return u"見つかりません";
        case FileProblem::NoReadPermission:
            return u"読み取る権限がありません";
        case FileProblem::IsFolder:
            return u"フォルダーです";
        case FileProblem::PathNotFolder:
            return u"パスの途中がフォルダーではありません";
        case FileProblem::NotFolder:
            return u"フォルダーではありません";
        case FileProblem::NotRegularFile:
            return u"通常のファイルではありません";
        case FileProblem::TooManyLinks:
            return u"リンクが多すぎます";
        case FileProblem::UnknownKind:
            return u"種類が分かりません";
        case FileProblem::NoWritePermission:
            return u"書き込む権限がありません";
        case FileProblem::ReadOnlyMedium:
            return u"読み取り専用のメディアにあります";
        case FileProblem::ReadOnlyFile:
            return u"読み取り専用のファイルです";
        case FileProblem::NoFolder:
            return u"フォルダーがありません";
        case FileProblem::FolderNotWritable:
            return u"フォルダーに書き込む権限がありません";
        case FileProblem::DiskFull:
            return u"ディスクに空きがありません";
        case FileProblem::NotWritten:
            return u"書き込めませんでした";
        case FileProblem::ChangedSinceCompared:
            return u"比較した後にファイルが変更されています";
        case FileProblem::System:
            break;
    }
    std::u16string system = SystemMessage(error.code);
    if (!system.empty()) return system;
    return u"エラー " + Number(error.code);
}

std::u16string SidesReason(const SideErrors& errors) {
    std::u16string text;
    if (errors.first.failed()) text = u"第一: " + Reason(errors.first);
    if (errors.first.failed() && errors.second.failed()) text += u"、";
    if (errors.second.failed()) text += u"第二: " + Reason(errors.second);
    return text;
}

std::u16string LineProblemText(const LineProblem& problem) {
    const std::u16string line = Number(static_cast<std::uint64_t>(problem.line));
    const std::u16string encoding = EncodingName(problem.encoding);
    if (problem.notText)
        return line + u" 行目には " + encoding + u" の文字として読めないバイトがあります";
    return line + u" 行目の「" + problem.character + u"」は " + encoding + u" で書けません";
}

std::u16string ReadOnlyText(const ReadOnly& readOnly) {
    switch (readOnly.why) {
        case ReadOnlyWhy::Editable:
            return {};
        case ReadOnlyWhy::FileTrouble:
            return Reason(readOnly.error);
        case ReadOnlyWhy::OtherUnreadable:
            return u"もう一方のファイルを読み込めません";
        case ReadOnlyWhy::Binary:
            return u"バイナリファイルは編集できません";
        case ReadOnlyWhy::TooLarge:
            return u"大きなファイル（" + Number((kTextLimitBytes + 1) >> 20) +
                   u" MiB 超）は編集できません";
        case ReadOnlyWhy::MemoryShort:
            return u"メモリが足りないため、編集できません";
        case ReadOnlyWhy::Iso2022Jp:
            break;
    }
    return u"ISO-2022-JP のファイルは編集できません";
}

namespace {

// 「name」: the file's label or the last part of its path.
std::u16string QuotedName(const EditedComparison& edited, Side side) {
    const Comparison& comparison = edited.comparison();
    const FileSide& file = side == Side::First ? comparison.first() : comparison.second();
    // Appended rather than added up: GCC 12 at -O3 sees an overlap in `u"…" + string` that is not
    // there (-Wrestrict).
    std::u16string name = u"「";
    name += DisplayName(file.Name(false).native());
    name += u"」";
    return name;
}

}  // namespace

std::u16string EditText(const EditResult& result, const EditedComparison& edited) {
    switch (result.problem) {
        case EditProblem::None:
            return {};
        case EditProblem::ReadOnly:
            return QuotedName(edited, result.side) + u"は編集できません（" +
                   ReadOnlyText(edited.WhyReadOnly(result.side)) + u"）";
        case EditProblem::NotAsCompared:
            return QuotedName(edited, result.side) + u"は編集できません（" + Reason(result.error) +
                   u"）。比較し直してください";
        case EditProblem::NoDifference:
            return u"相違がありません";
        case EditProblem::NothingToTake:
            return u"取り込む相違がありません";
        case EditProblem::CannotTake:
            return u"取り込めません。" + LineProblemText(result.line) + u"。";
        case EditProblem::LineNotEditable:
            return u"この行は編集できません";
        case EditProblem::LineBreakTyped:
            return u"改行は入力できません";
        case EditProblem::CannotType:
            return u"入力できません。" + LineProblemText(result.line) + u"。";
        case EditProblem::NothingToUndo:
            return u"元に戻す操作はありません";
        case EditProblem::Stopped:
            return u"中止しました。何も変えていません";
        case EditProblem::NothingToRedo:
            break;
    }
    return u"やり直す操作はありません";
}

std::u16string SaveText(const SaveResult& result, const EditedComparison& edited, Side side) {
    const std::u16string name = QuotedName(edited, side);
    switch (result.status) {
        case SaveStatus::Unchanged:
            return {};
        case SaveStatus::Saved:
            return name + u"を保存しました";
        case SaveStatus::ChangedOnDisk:
            return name + u"は、読み込んだ後にほかのプログラムによって変更されています。";
        case SaveStatus::Failed:
            break;
    }
    if (result.line) return name + u"を保存できません。" + LineProblemText(*result.line) + u"。";
    return WriteFailureText(name, result.written);
}

std::u16string WriteFailureText(const std::u16string& quotedName, const WriteResult& written) {
    const std::u16string unchanged = u"ファイルは元のままです。";
    const FileError& error = written.error;
    switch (written.status) {
        case WriteStatus::DiskFull:
            return u"ディスクに空きがないため、" + quotedName + u"を保存できませんでした。" +
                   unchanged;
        case WriteStatus::Refused:
            return u"書き込みが拒否されたため、" + quotedName + u"を保存できませんでした（" +
                   Reason(error) + u"）。" + unchanged;
        case WriteStatus::NotRestored:
            return quotedName + u"を保存できませんでした（" + Reason(error) +
                   u"）。元の内容に戻すこともできなかったため、ファイルは途中まで書き換わっています"
                   u"。";
        default:
            break;
    }
    const FileError why = error.failed() ? error : FileError{FileProblem::NotWritten, 0, {}};
    return quotedName + u"を保存できませんでした（" + Reason(why) + u"）。" + unchanged;
}

std::u16string KindName(EntryKind kind) {
    switch (kind) {
        case EntryKind::None:
            return u"なし";
        case EntryKind::File:
            return u"ファイル";
        case EntryKind::Folder:
            return u"フォルダー";
        case EntryKind::Link:
            return u"リンク";
        case EntryKind::Fifo:
            return u"FIFO";
        case EntryKind::Device:
            return u"デバイス";
        case EntryKind::Socket:
            return u"ソケット";
        case EntryKind::Other:
            break;
    }
    return u"その他";
}

std::u16string FolderCountsText(const FolderCounts& counts) {
    const auto number = [](std::int64_t n) { return Number(static_cast<std::uint64_t>(n)); };
    if (counts == FolderCounts{}) return u"相違なし";
    std::u16string text = u"相違 " + number(counts.different) + u" 件 — 第一だけ " +
                          number(counts.onlyFirst) + u" — 第二だけ " + number(counts.onlySecond);
    if (counts.kindsDiffer > 0) text += u" — 種類違い " + number(counts.kindsDiffer);
    if (counts.unreadable > 0) text += u" — 読めない " + number(counts.unreadable);
    return text;
}

}  // namespace viewer
