// Qt backend: the application object and its event loop.
#include <QApplication>

#include "../Application.h"
#include "../Process.h"
#include "DisplayCheck.h"

namespace platform {

struct Application::Impl {
    explicit Impl(char* program) : argv{program, nullptr}, app(argc, argv) {}
    // Qt sees the program's name only: every argument is part of a file name, and Qt would
    // act on the ones that look like its own options (-platform, -reverse, -style, ...).
    int argc = 1;
    char* argv[2];
    QApplication app;
};

Application::Application(int& argc, char** argv) {
    SetArguments(argc, argv);
    qt::ExitClearlyWithoutDisplay("diff-zarvo");
    impl_ = std::make_unique<Impl>(argc > 0 ? argv[0] : const_cast<char*>("diff-zarvo"));
    // Wayland desktops match a window to its menu entry (name, icon) by this id, the file name
    // of the installed desktop entry (packaging/); X11 ones use the class, diff-zarvo.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.diffzarvo.DiffZarvo"));
}

Application::~Application() = default;

int Application::Run() { return impl_->app.exec(); }

}  // namespace platform
