// A folder comparison on a thread of its own: the walk fills a queue under a lock, the window
// takes what is new when it polls.
#include <condition_variable>
#include <mutex>

#include "FolderCompare.h"

namespace viewer {

class FolderComparison::Queue : public FolderSink {
public:
    explicit Queue(std::function<void()> wake) : wake_(std::move(wake)) {}

    void Added(const FolderEntry& entry) override {
        Post([&] { news_.added.push_back(entry); });
    }
    void Changed(std::int32_t index, FolderState state) override {
        Post([&] { news_.changed.emplace_back(index, state); });
    }
    void Progress(const FolderProgress& progress) override {
        Post([&] { news_.progress = progress; });
    }
    void Finish(FolderEnd end, SideErrors error) {
        Post([&] {
            news_.finished = true;
            news_.end = end;
            news_.error = std::move(error);
        });
        ended_.notify_all();
    }

    News Take() {
        std::lock_guard lock(mutex_);
        News taken = std::move(news_);
        news_ = {};
        news_.progress = taken.progress;
        news_.finished = taken.finished;
        news_.end = taken.end;
        news_.error = taken.error;
        woken_ = false;
        return taken;
    }

    void Wait() {
        std::unique_lock lock(mutex_);
        ended_.wait(lock, [&] { return news_.finished; });
    }

private:
    // Changes the news under the lock; wakes the window once until it polls again.
    template <typename Change>
    void Post(Change change) {
        bool wake = false;
        {
            std::lock_guard lock(mutex_);
            change();
            wake = !woken_;
            woken_ = true;
        }
        if (wake && wake_) wake_();
    }

    std::function<void()> wake_;
    std::mutex mutex_;
    std::condition_variable ended_;
    News news_;
    bool woken_ = false;
};

FolderComparison::FolderComparison(std::filesystem::path first, std::filesystem::path second,
                                   std::function<void()> wake)
    : queue_(std::make_unique<Queue>(std::move(wake))) {
    thread_ = std::jthread(
        [this, first = std::move(first), second = std::move(second)](std::stop_token stop) {
            SideErrors error;
            const FolderEnd end = CompareFolders(first, second, *queue_, stop, error);
            queue_->Finish(end, std::move(error));
        });
}

FolderComparison::~FolderComparison() {
    thread_.request_stop();
    if (thread_.joinable()) thread_.join();
}

void FolderComparison::Cancel() { thread_.request_stop(); }

FolderComparison::News FolderComparison::Poll() { return queue_->Take(); }

void FolderComparison::Wait() { queue_->Wait(); }

}  // namespace viewer
