// A stand-in file manager for end-to-end tests: a small window that, when the mouse is pressed
// on it, drags the files named on its command line (as text/uri-list, the way file managers do).
// Each time the target under the pointer answers that it takes the drop, it prints "target takes
// it"; a test releases the button only then, as a user who waits for the cursor to change does.
// When the drop is over it prints "accepted" or "refused" on a line of its own, and stays to hand
// the target its data until it is ended.
#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <QWidget>
#include <cstdio>

namespace {

class DragSource : public QWidget {
public:
    explicit DragSource(QList<QUrl> urls) : urls_(std::move(urls)) {
        setWindowTitle(QStringLiteral("zarvo-drag-source"));
        resize(120, 120);
    }

protected:
    void mousePressEvent(QMouseEvent*) override {
        auto* mime = new QMimeData;
        mime->setUrls(urls_);
        auto* drag = new QDrag(this);
        drag->setMimeData(mime);
        connect(drag, &QDrag::actionChanged, this, [](Qt::DropAction action) {
            if (action == Qt::IgnoreAction) return;
            std::printf("target takes it\n");
            std::fflush(stdout);
        });
        const Qt::DropAction action = drag->exec(Qt::CopyAction | Qt::LinkAction, Qt::CopyAction);
        std::printf("%s\n", action == Qt::IgnoreAction ? "refused" : "accepted");
        std::fflush(stdout);
    }

private:
    QList<QUrl> urls_;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QList<QUrl> urls;
    // From the argument's bytes, percent-encoded as a file manager does, so that a name that is
    // not UTF-8 is dragged as itself.
    for (int i = 1; i < argc; ++i) {
        urls.push_back(QUrl::fromEncoded("file://" + QByteArray(argv[i]).toPercentEncoding("/")));
    }
    DragSource source(urls);
    source.move(400, 300);
    source.show();
    return app.exec();
}
