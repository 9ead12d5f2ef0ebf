// Qt backend: turns Qt's abort for want of a display into one line on stderr and exit status 1.
// Qt reports the failure as a fatal message while it picks its platform plugin; the messages it
// prints before that (which plugins failed and why) are held, and passed on once a plugin works.
#include "DisplayCheck.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QString>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace platform::qt {

namespace {

// A message kept for later, with copies of the texts its context points to.
struct HeldMessage {
    QtMsgType type;
    std::string file, function, category;
    bool hasCategory;
    int line;
    QString text;
};

const char* programName = "";
QtMessageHandler previousHandler = nullptr;
std::vector<HeldMessage>& Held() {
    static std::vector<HeldMessage> held;
    return held;
}

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

std::string Explanation() {
    const std::string display = Variable("DISPLAY");
    const std::string wayland = Variable("WAYLAND_DISPLAY");
    const std::string platform = Variable("QT_QPA_PLATFORM");
    const std::string program = std::string(programName) + ": ";
    if (!platform.empty() && platform.find("xcb") == std::string::npos &&
        platform.find("wayland") == std::string::npos) {
        return program + "cannot start the Qt platform QT_QPA_PLATFORM=" + platform +
               "; set QT_QPA_PLATFORM to one that works here (xcb, wayland, offscreen) or unset it";
    }
    if (display.empty() && wayland.empty()) {
        return program +
               "no display to open a window on: neither DISPLAY nor WAYLAND_DISPLAY is set; start "
               "it in a desktop session, or set DISPLAY (X11) or WAYLAND_DISPLAY (Wayland)";
    }
    const auto shown = [](const std::string& value) { return value.empty() ? "unset" : value; };
    return program + "cannot connect to the display (DISPLAY=" + shown(display) +
           ", WAYLAND_DISPLAY=" + shown(wayland) +
           "); set DISPLAY or WAYLAND_DISPLAY to a running X11 or Wayland display";
}

void Pass(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (previousHandler != nullptr) {
        previousHandler(type, context, text);
    } else {
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
    }
}

// Once Qt has a platform, every message goes straight on.
std::atomic<bool> started{false};

void ReleaseHeld() {
    started = true;
    std::vector<HeldMessage> held;
    held.swap(Held());
    for (const HeldMessage& m : held) {
        const QMessageLogContext context(m.file.c_str(), m.line, m.function.c_str(),
                                         m.hasCategory ? m.category.c_str() : nullptr);
        Pass(m.type, context, m.text);
    }
}

void Handle(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (!started) {
        // Qt names its platform once a plugin has started; until then it is looking for one,
        // and only the main thread runs.
        if (type == QtFatalMsg && QGuiApplication::platformName().isEmpty() &&
            text.contains(QLatin1String("platform plugin"))) {
            std::fprintf(stderr, "%s\n", Explanation().c_str());
            std::fflush(stderr);
            _exit(1);
        }
        // Any other fatal message ends the program: what led to it goes out first.
        if (!QGuiApplication::platformName().isEmpty() || type == QtFatalMsg) {
            ReleaseHeld();
        } else {
            Held().push_back({type, context.file != nullptr ? context.file : "",
                              context.function != nullptr ? context.function : "",
                              context.category != nullptr ? context.category : "",
                              context.category != nullptr, context.line, text});
            return;
        }
    }
    Pass(type, context, text);
}

}  // namespace

void ExitClearlyWithoutDisplay(const char* program) {
    programName = program;
    previousHandler = qInstallMessageHandler(Handle);
    // Called from the QApplication's constructor once its platform plugin runs.
    qAddPreRoutine(ReleaseHeld);
}

}  // namespace platform::qt
