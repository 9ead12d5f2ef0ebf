// The toolkit's application object and event loop. Construct it first, from main's arguments.
#pragma once

#include <memory>

namespace platform {

class Application {
public:
    Application(int& argc, char** argv);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Runs until the last window closes; returns the process's exit code.
    int Run();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace platform
