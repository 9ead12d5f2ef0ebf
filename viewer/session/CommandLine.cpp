#include "CommandLine.h"

#include "MergeFiles.h"
#include "TextDecode.h"
#include "Wording.h"

namespace viewer {

std::optional<int> RunWithoutWindow(const Arguments& arguments, UnifiedStreams streams) {
    if (!arguments.unified && !arguments.merge) return std::nullopt;
    streams.why = [](const FileError& error) { return ToUtf8(Reason(error)); };
    streams.whySides = [](const SideErrors& errors) { return ToUtf8(SidesReason(errors)); };
    return arguments.unified ? WriteUnified(arguments, streams) : WriteMerge(arguments, streams);
}

std::u16string Usage() {
    return u"使い方: diff-zarvo-view [-L 第一の名前 [-L 第二の名前]] 第一のファイル "
           u"第二のファイル\n"
           u"　　　　diff-zarvo-view -u [-L 第一の名前 [-L 第二の名前]] 第一のファイル "
           u"第二のファイル\n"
           u"2つのファイルを比較し、相違を表示します。-u (--unified) は相違を unified 形式で"
           u"標準出力に書きます（終了コード: 同じ 0、相違あり 1、問題あり 2）。\n"
           u"ファイルの代わりにフォルダーも指定できます。2つのフォルダーはその中身を比較し、"
           u"ファイルとフォルダーはフォルダーの中の同じ名前のファイルと比較します。\n"
           u"　　　　diff-zarvo-view [--merge] [-o 結果のファイル] [-L 名前 ×3] 自分のファイル "
           u"共通の元のファイル 相手のファイル\n"
           u"3つのファイルは三方向マージです（真ん中が共通の元）。結果は -o (--output) の"
           u"ファイルに、なければ自分のファイルに保存します。--merge はウィンドウを開かずに"
           u"マージの結果を標準出力か -o のファイルに書きます（終了コード: 競合なし 0、"
           u"競合あり 1、問題あり 2）。\n";
}

}  // namespace viewer
