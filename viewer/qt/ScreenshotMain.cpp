// viewer-screenshot FIRST SECOND OUTPUT.png [side-by-side|take]: opens the viewer's window on two
// files (at the first difference, as the viewer does), in the one-list view or side by side, and
// saves the window's picture; "take" shows it side by side right after Alt+Right took the first
// difference into the second file (in the window only: nothing is saved). For the README's
// screenshots; this tool never writes the files it shows.
#include <QApplication>
#include <QFile>
#include <QPixmap>
#include <cstdio>
#include <cstring>

#include "Comparison.h"
#include "ViewerWindow.h"

int main(int argc, char** argv) {
    const bool take = argc == 5 && std::strcmp(argv[4], "take") == 0;
    const bool sideBySide = take || (argc == 5 && std::strcmp(argv[4], "side-by-side") == 0);
    if (argc != 4 && !sideBySide) {
        std::fputs("usage: viewer-screenshot FIRST SECOND OUTPUT.png [side-by-side|take]\n",
                   stderr);
        return 2;
    }
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    viewer::ViewerWindow window(
        viewer::Compare(std::filesystem::path(argv[1]), std::filesystem::path(argv[2])));
    window.resize(sideBySide ? 980 : 820, 470);
    window.show();
    window.session().SetView(sideBySide ? viewer::View::SideBySide : viewer::View::List);
    if (take) window.session().Run(viewer::Command::TakeToSecond);
    QApplication::processEvents();
    if (!window.grab().save(QFile::decodeName(argv[3]), "PNG")) {
        std::fprintf(stderr, "viewer-screenshot: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
