// diff-zarvo-view FIRST SECOND: shows how two files (or two folders) differ. The front end starts
// it with exactly these two arguments; it reads them and writes nothing. `-u` writes a unified diff
// instead (of two folders too), and `-L` names the files (Arguments.h). MINE BASE THEIRS opens the
// three-way merge, whose result is saved to `-o FILE` or MINE; `--merge` writes it without a
// window.
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <clocale>
#include <cstdio>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "Arguments.h"
#include "CommandLine.h"
#include "Comparison.h"
#include "FolderWindow.h"
#include "MergeWindow.h"
#include "Progress.h"
#include "QtText.h"
#include "RunningMerge.h"
#include "Settings.h"
#include "StartUp.h"
#include "Texts.h"
#include "Unified.h"
#include "ViewerWindow.h"
#include "platform/Process.h"
#include "platform/Text.h"
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

// What goes to standard error, as the session wrote it.
void WriteError(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stderr); }

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::filesystem::path> arguments;
    // The names go to the core as the bytes they are.
    for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
    viewer::StartPlan plan = viewer::PlanStart(arguments);

    // A unified diff or a merge written out needs no display: done before anything of Qt starts.
    if (plan.window == viewer::StartWindow::Output) {
        bool written = true;
        const std::optional<int> done = viewer::RunWithoutWindow(
            plan.arguments,
            {[&](std::string_view text) {
                 written =
                     std::fwrite(text.data(), 1, text.size(), stdout) == text.size() && written;
             },
             [](std::string_view text) { std::fwrite(text.data(), 1, text.size(), stderr); }});
        return done && written && std::fflush(stdout) == 0 ? *done : 2;
    }

    // Qt is given no arguments of ours: a file named "-style" or "-platform" must stay a file.
    int qtArgc = 1;
    if (plan.window == viewer::StartWindow::None) {
        WriteError(plan.errorOutput);
        // A script without a display has been told; a desktop user is shown it too.
        if (qEnvironmentVariableIsEmpty("DISPLAY") &&
            qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
            qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            return plan.exitCode;
        }
        platform::qt::ExitClearlyWithoutDisplay("diff-zarvo-view");
        QApplication app(qtArgc, argv);
        QMessageBox::critical(nullptr, viewer::ToQString(viewer::texts::kProgram),
                              viewer::ToQString(plan.message));
        return plan.exitCode;
    }
    // The settings that choose the comparison's options are read without Qt, and the file view's
    // comparison (or the merge window's merge) starts at once, on a thread of its own, while Qt
    // starts on this one.
    const std::filesystem::path settingsFile =
        viewer::SettingsFileFor(platform::ToUtf8(platform::ExecutableDirectory()));
    // Qt sets the user's locale as it starts. Set here first, before the comparison's thread, Qt's
    // call changes nothing while that thread may read it.
    std::setlocale(LC_ALL, "");
    std::unique_ptr<viewer::RunningComparison> running;
    if (plan.window == viewer::StartWindow::Files) {
        running = viewer::StartFilesComparison(plan.arguments, settingsFile);
    }
    std::unique_ptr<viewer::RunningMerge> merging;
    if (plan.window == viewer::StartWindow::Merge) {
        merging = std::make_unique<viewer::RunningMerge>(std::move(*plan.merge));
    }

    // Without a display this ends the program at once, whatever the comparison has got to.
    platform::qt::ExitClearlyWithoutDisplay("diff-zarvo-view");
    QApplication app(qtArgc, argv);
    app.setApplicationName(QStringLiteral("diff-zarvo-view"));

    QuitWhenPainted quitter;
    const bool quitWhenShown = plan.arguments.exitWhenShown;
    if (plan.window == viewer::StartWindow::Merge) {
        viewer::WaitForWork(nullptr, *merging);
        std::unique_ptr<viewer::MergedFiles> merged = merging->Take();
        if (!merged) return viewer::kStoppedExitCode;
        viewer::MergeWindow merge(std::move(merged), settingsFile);
        if (quitWhenShown) merge.installEventFilter(&quitter);
        merge.show();
        app.exec();
        return merge.session().ExitCode();
    }
    if (plan.window == viewer::StartWindow::Folders) {
        viewer::FolderWindow folders(plan.first, plan.second, settingsFile);
        if (quitWhenShown) folders.installEventFilter(&quitter);
        folders.show();
        app.exec();
        return 0;
    }
    viewer::ViewerWindow::PrepareListFont();
    std::optional<viewer::Comparison> comparison = viewer::WaitWithProgress(nullptr, *running);
    if (!comparison) return viewer::kStoppedExitCode;
    const viewer::FilesStart start = viewer::FilesOpened(*comparison);
    WriteError(start.errorOutput);

    viewer::ViewerWindow window(std::move(*comparison), settingsFile);
    if (quitWhenShown) window.installEventFilter(&quitter);
    window.show();
    app.exec();
    return start.exitCode;
}
