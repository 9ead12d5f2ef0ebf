// diff-zarvo-view FIRST SECOND: shows how two files (or two folders) differ. The front end starts
// it with exactly these two arguments; it reads them and writes nothing. `-u` writes a unified diff
// instead (of two folders too), and `-L` names the files (Arguments.h). MINE BASE THEIRS opens the
// three-way merge, whose result is saved to `-o FILE` or MINE; `--merge` writes it without a
// window.
#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>
#include <optional>
#include <string_view>
#include <vector>

#include "Arguments.h"
#include "Comparison.h"
#include "FolderWindow.h"
#include "MergeWindow.h"
#include "Progress.h"
#include "QtText.h"
#include "Settings.h"
#include "Unified.h"
#include "ViewerWindow.h"
#include "platform/qt/DisplayCheck.h"

namespace {

// Ends the program once the window has been painted: the benchmark's way to time the start-up
// without a display of its own to watch.
class QuitWhenPainted : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::filesystem::path> arguments;
    // The names go to the core as the bytes they are.
    for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
    const std::optional<viewer::Arguments> parsed = viewer::ParseArguments(arguments);

    // A unified diff or a merge written out needs no display: done before anything of Qt starts.
    bool written = true;
    const std::optional<int> done =
        parsed
            ? viewer::RunWithoutWindow(
                  *parsed,
                  {[&](std::string_view text) {
                       written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size() &&
                                 written;
                   },
                   [](std::string_view text) { std::fwrite(text.data(), 1, text.size(), stderr); }})
            : std::nullopt;
    if (done) return written && std::fflush(stdout) == 0 ? *done : 2;

    // Qt is given no arguments of ours: a file named "-style" or "-platform" must stay a file.
    int qtArgc = 1;
    if (!parsed) {
        const QString usage = QString::fromStdU16String(viewer::Usage());
        std::fputs(usage.toLocal8Bit().constData(), stderr);
        // A script without a display has been told; a desktop user is shown it too.
        if (qEnvironmentVariableIsEmpty("DISPLAY") &&
            qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
            qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            return 2;
        }
        platform::qt::ExitClearlyWithoutDisplay("diff-zarvo-view");
        QApplication app(qtArgc, argv);
        QMessageBox::critical(nullptr, QStringLiteral("Diff-Zarvo ビューアー"), usage);
        return 2;
    }
    platform::qt::ExitClearlyWithoutDisplay("diff-zarvo-view");
    QApplication app(qtArgc, argv);
    app.setApplicationName(QStringLiteral("diff-zarvo-view"));

    // The view and the options chosen last time, in the front end's settings file.
    const std::filesystem::path settingsFile = viewer::SettingsFileFor(
        QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString());
    QuitWhenPainted quitter;
    if (parsed->threeWay()) {
        // The three-way merge: its exit code tells git whether the result was saved resolved.
        std::u16string why;
        std::optional<viewer::MergeSources> sources = viewer::ReadMergeSources(*parsed, why);
        if (!sources) {
            std::fprintf(stderr, "diff-zarvo-view: %s\n", viewer::ToUtf8(why).c_str());
            QMessageBox::critical(nullptr, QStringLiteral("Diff-Zarvo ビューアー"),
                                  QString::fromStdU16String(why));
            return 2;
        }
        viewer::MergeWindow merge(std::move(*sources), settingsFile);
        if (parsed->exitWhenShown) merge.installEventFilter(&quitter);
        merge.show();
        app.exec();
        return merge.session().ExitCode();
    }
    const auto [first, second] = viewer::ResolveFileAndFolder(parsed->first, parsed->second);
    std::error_code error;
    if (std::filesystem::is_directory(first, error) &&
        std::filesystem::is_directory(second, error)) {
        viewer::FolderWindow folders(first, second, settingsFile);
        if (parsed->exitWhenShown) folders.installEventFilter(&quitter);
        folders.show();
        return app.exec();
    }
    const viewer::ViewerChoices choices = viewer::LoadChoices(settingsFile);
    std::optional<viewer::Comparison> comparison =
        viewer::RunWithProgress(nullptr, [&](const viewer::CancelFlag* cancel) {
            return viewer::CompareFiles(*parsed, cancel, choices.options);
        });
    if (!comparison) return 2;  // the user stopped it before the window opened
    const bool unreadable = comparison->outcome() == viewer::Outcome::Unreadable;
    for (const QString& error : viewer::ErrorLines(*comparison)) {
        std::fprintf(stderr, "diff-zarvo-view: %s\n", error.toLocal8Bit().constData());
    }

    viewer::ViewerWindow window(std::move(*comparison), settingsFile);
    if (parsed->exitWhenShown) window.installEventFilter(&quitter);
    window.show();
    const int code = app.exec();
    return unreadable ? 1 : code;
}
