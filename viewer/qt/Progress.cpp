#include "Progress.h"

#include <QEvent>
#include <QEventLoop>
#include <QPointer>
#include <QProgressDialog>
#include <QTimer>
#include <QWidget>
#include <utility>

#include "QtText.h"
#include "Texts.h"

namespace viewer {

namespace {

constexpr int kQuietMillis = 500;

// Closing the window while its comparison runs stops the comparison, then closes the window.
class CloseWatcher : public QObject {
public:
    CloseWatcher(QWidget* window, RunningWork& job) : job_(job) {
        window->installEventFilter(this);
    }
    bool closeAsked() const { return closeAsked_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Close) return QObject::eventFilter(watched, event);
        closeAsked_ = true;
        job_.Cancel();
        event->ignore();
        return true;
    }

private:
    RunningWork& job_;
    bool closeAsked_ = false;
};

}  // namespace

std::optional<Comparison> RunWithProgress(QWidget* parent, Background::Work work) {
    RunningComparison job(std::move(work));
    return WaitWithProgress(parent, job);
}

std::optional<Comparison> WaitWithProgress(QWidget* parent, RunningComparison& job) {
    const bool open = WaitForWork(parent, job);
    std::optional<Comparison> result = job.Take();
    if (!open) return std::nullopt;
    return result;
}

bool WaitForWork(QWidget* parent, RunningWork& job) {
    QEventLoop loop;
    // Told on the worker's thread; the call is queued to this one. Checked as done below.
    job.WhenDone([&loop] { QMetaObject::invokeMethod(&loop, &QEventLoop::quit); });
    std::optional<CloseWatcher> watcher;
    if (parent != nullptr) watcher.emplace(parent, job);
    // A short comparison shows nothing: the user's input waits until it is over.
    QTimer quiet;
    quiet.setSingleShot(true);
    QObject::connect(&quiet, &QTimer::timeout, &loop, &QEventLoop::quit);
    quiet.start(kQuietMillis);
    if (!job.Done()) loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!job.Done()) {
        QProgressDialog dialog(ToQString(texts::kComparing), ToQString(texts::kStop), 0, 0, parent);
        dialog.setWindowTitle(ToQString(texts::kProgram));
        dialog.setWindowModality(parent != nullptr ? Qt::WindowModal : Qt::ApplicationModal);
        dialog.setMinimumDuration(0);
        dialog.setAutoClose(false);
        dialog.setAutoReset(false);
        // Its button and closing it say "canceled"; Esc rejects it.
        QObject::connect(&dialog, &QProgressDialog::canceled, &loop, [&job] { job.Cancel(); });
        QObject::connect(&dialog, &QDialog::rejected, &loop, [&job] { job.Cancel(); });
        dialog.show();
        if (!job.Done()) loop.exec();
    }
    job.WhenDone(nullptr);  // a call under way ends before the loop goes
    if (watcher && watcher->closeAsked()) {
        QPointer<QWidget> window(parent);
        QTimer::singleShot(0, parent, [window] {
            if (window) window->close();
        });
        watcher.reset();
        return false;
    }
    return true;
}

}  // namespace viewer
