// viewer-screenshot FIRST SECOND OUTPUT.png: opens the viewer's window on two files, moves to the
// first difference as F8 would, and saves the window's picture. For the README's screenshot; the
// viewer itself never writes a file.
#include <QApplication>
#include <QFile>
#include <QPixmap>
#include <cstdio>

#include "Comparison.h"
#include "ViewerWindow.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fputs("usage: viewer-screenshot FIRST SECOND OUTPUT.png\n", stderr);
        return 2;
    }
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    viewer::ViewerWindow window(
        viewer::Compare(std::filesystem::path(argv[1]), std::filesystem::path(argv[2])));
    window.resize(820, 450);
    window.show();
    window.NextDifference();
    QApplication::processEvents();
    if (!window.grab().save(QFile::decodeName(argv[3]), "PNG")) {
        std::fprintf(stderr, "viewer-screenshot: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
