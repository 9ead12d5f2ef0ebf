// Errors that cross the platform layer. Every failure a backend reports is a platform::Error
// whose message names the operation and the system's reason, in the user's language.
#pragma once

#include <exception>
#include <string>

namespace platform {

class Error : public std::exception {
public:
    explicit Error(std::wstring message);
    const std::wstring& Message() const noexcept { return message_; }
    const char* what() const noexcept override { return utf8_.c_str(); }

private:
    std::wstring message_;
    std::string utf8_;
};

// Raised by OpenFileDialog::ShowOpen when the user cancels and CancelError is set.
class CancelError : public Error {
public:
    CancelError();
};

}  // namespace platform
