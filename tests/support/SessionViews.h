// Windows for the session's tests, with no display: one that draws nothing, for what is asked of
// the session itself, and one that remembers what it was told.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "SessionView.h"

namespace testsupport {

// A window that draws nothing, answers every question キャンセル and runs long work at once.
class QuietView : public viewer::SessionView {
public:
    void Redraw() override {}
    void ScrollTo(std::size_t, std::size_t) override {}
    void ShowStatus(const viewer::StatusMessage&) override {}
    void SetTitle(const std::u16string&) override {}
    void CopyToClipboard(const std::u16string&) override {}
    void ShowBar(viewer::Bar) override {}
    void ShowChangeNotice(bool) override {}
    void WatchFiles(const std::vector<std::filesystem::path>&) override {}
    void CloseWindow() override {}
    viewer::Answer Ask(const viewer::Question&) override { return viewer::Answer::Cancel; }
    void OpenEditor(std::size_t, std::size_t, const std::u16string&) override {}
    void MoveEditor(std::size_t) override {}
    void CloseEditor() override {}
    std::optional<viewer::Comparison> RunLong(
        const std::function<viewer::Comparison(const viewer::CancelFlag*)>& work) override {
        return work(nullptr);
    }
    void MeasuredInBackground() override {}
};

// A window that remembers what it was told.
class RecordingView : public viewer::SessionView {
public:
    void Redraw() override { ++redraws; }
    void ScrollTo(std::size_t viewRow, std::size_t column) override {
        scrolledRow = viewRow;
        scrolledColumn = column;
    }
    void ShowStatus(const viewer::StatusMessage& message) override { status = message.text; }
    void SetTitle(const std::u16string& text) override { title = text; }
    void CopyToClipboard(const std::u16string& text) override { clipboard = text; }
    void ShowBar(viewer::Bar shown) override { bar = shown; }
    void ShowChangeNotice(bool shown) override { notice = shown; }
    void WatchFiles(const std::vector<std::filesystem::path>& files) override { watched = files; }
    void CloseWindow() override { closed = true; }
    viewer::Answer Ask(const viewer::Question& question) override {
        asked.push_back(question);
        if (answers.empty()) return viewer::Answer::Cancel;
        const viewer::Answer answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    }
    void OpenEditor(std::size_t viewRow, std::size_t column, const std::u16string& text) override {
        editor = {viewRow, column};
        editorText = text;
    }
    void MoveEditor(std::size_t viewRow) override { editor->first = viewRow; }
    void CloseEditor() override { editor.reset(); }
    std::optional<viewer::Comparison> RunLong(
        const std::function<viewer::Comparison(const viewer::CancelFlag*)>& work) override {
        if (stop) return std::nullopt;  // as a user who pressed Esc on the progress
        return work(nullptr);
    }
    void MeasuredInBackground() override {
        const std::lock_guard lock(measure_->mutex);
        measure_->done = true;
        measure_->changed.notify_all();
    }
    // Waits until the session says a measure beside the window is done, as a front's event loop
    // waits for its event; false when 20 s pass without.
    bool WaitForMeasure() {
        std::unique_lock lock(measure_->mutex);
        if (!measure_->changed.wait_for(lock, std::chrono::seconds(20),
                                        [this] { return measure_->done; })) {
            return false;
        }
        measure_->done = false;
        return true;
    }

    int redraws = 0;
    std::optional<std::size_t> scrolledRow;
    std::size_t scrolledColumn = 0;
    std::u16string status, title, clipboard;
    viewer::Bar bar = viewer::Bar::None;
    bool notice = false, closed = false, stop = false;
    std::vector<std::filesystem::path> watched;
    std::vector<viewer::Question> asked;
    std::vector<viewer::Answer> answers;  // the user's, in order; then キャンセル
    std::optional<std::pair<std::size_t, std::size_t>> editor;  // view row, column
    std::u16string editorText;

private:
    struct Measure {
        std::mutex mutex;
        std::condition_variable changed;
        bool done = false;
    };
    std::shared_ptr<Measure> measure_ = std::make_shared<Measure>();
};

}  // namespace testsupport
