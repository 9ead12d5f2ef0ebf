// Two pieces of work at once, on two cores: the files of a comparison are prepared side by side.
#pragma once

#include <exception>
#include <future>
#include <utility>

namespace viewer {

// Runs `one` here and `other` on a thread of its own, and waits for both; what either throws is
// thrown here once both have ended.
template <typename One, typename Other>
void BothAtOnce(One&& one, Other&& other) {
    std::future<void> elsewhere = std::async(std::launch::async, std::forward<Other>(other));
    std::exception_ptr failed;
    try {
        one();
    } catch (...) {
        failed = std::current_exception();
    }
    elsewhere.get();  // waits, and throws what `other` threw
    if (failed) std::rethrow_exception(failed);
}

}  // namespace viewer
