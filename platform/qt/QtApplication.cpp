// Qt backend: the application object and its event loop.
#include <QApplication>

#include "../Application.h"
#include "../Process.h"

namespace platform {

struct Application::Impl {
    Impl(int& argc, char** argv) : app(argc, argv) {}
    QApplication app;
};

Application::Application(int& argc, char** argv) {
    // Before Qt sees argv: it removes the arguments it knows, and a file may bear such a name.
    SetArguments(argc, argv);
    impl_ = std::make_unique<Impl>(argc, argv);
    // Wayland desktops match a window to its menu entry (name, icon) by this id, the file name
    // of the installed desktop entry (packaging/); X11 ones use the class, diff-zarvo.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.diffzarvo.DiffZarvo"));
}

Application::~Application() = default;

int Application::Run() { return impl_->app.exec(); }

}  // namespace platform
