// viewer-screenshot FIRST SECOND OUTPUT.png [side-by-side|take]: opens the viewer's window on two
// files (at the first difference, as the viewer does), in the one-list view or side by side, and
// saves the window's picture; "take" shows it side by side right after Alt+Right took the first
// difference into the second file (in the window only: nothing is saved).
// viewer-screenshot merge MINE BASE THEIRS OUTPUT.png: the merge window on three files, opened on
// the first conflict, the result not saved.
// For the README's screenshots; this tool never writes the files it shows.
#include <QApplication>
#include <QFile>
#include <QPixmap>
#include <cstdio>
#include <cstring>

#include "Comparison.h"
#include "MergeWindow.h"
#include "ViewerWindow.h"

namespace {

bool Save(QWidget& window, const char* file) {
    window.show();
    QApplication::processEvents();
    if (window.grab().save(QFile::decodeName(file), "PNG")) return true;
    std::fprintf(stderr, "viewer-screenshot: cannot write %s\n", file);
    return false;
}

int ShootMerge(char** files) {
    const auto parsed = viewer::ParseArguments({files[0], files[1], files[2]});
    std::u16string why;
    std::optional<viewer::MergeSources> sources;
    if (parsed) sources = viewer::ReadMergeSources(*parsed, why);
    if (!sources) {
        std::fprintf(stderr, "viewer-screenshot: %s\n", viewer::ToUtf8(why).c_str());
        return 1;
    }
    viewer::MergeWindow window(std::move(*sources));
    window.resize(1180, 520);
    return Save(window, files[3]) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const bool merge = argc == 6 && std::strcmp(argv[1], "merge") == 0;
    const bool take = argc == 5 && std::strcmp(argv[4], "take") == 0;
    const bool sideBySide = take || (argc == 5 && std::strcmp(argv[4], "side-by-side") == 0);
    if (argc != 4 && !sideBySide && !merge) {
        std::fputs(
            "usage: viewer-screenshot FIRST SECOND OUTPUT.png [side-by-side|take]\n"
            "       viewer-screenshot merge MINE BASE THEIRS OUTPUT.png\n",
            stderr);
        return 2;
    }
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    if (merge) return ShootMerge(argv + 2);
    viewer::ViewerWindow window(
        viewer::Compare(std::filesystem::path(argv[1]), std::filesystem::path(argv[2])));
    window.resize(sideBySide ? 980 : 820, 470);
    window.show();
    window.session().SetView(sideBySide ? viewer::View::SideBySide : viewer::View::List);
    if (take) window.session().Run(viewer::Command::TakeToSecond);
    return Save(window, argv[3]) ? 0 : 1;
}
