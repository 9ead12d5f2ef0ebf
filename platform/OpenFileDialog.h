// The system's Open dialog, used the way a common-dialog control is: set FileName, call
// ShowOpen, read FileName back. With CancelError set, Cancel throws platform::CancelError.
#pragma once

#include <string>

namespace platform {

class Window;

class OpenFileDialog {
public:
    explicit OpenFileDialog(Window& owner) : owner_(owner) {}

    bool CancelError = false;
    std::wstring FileName;

    // Returns when the dialog closes. After OK, FileName holds the chosen full path.
    void ShowOpen();

private:
    Window& owner_;
};

}  // namespace platform
