// The forms backend on Qt Widgets (Linux, X11).
//
// Implements every call of platform/forms/backend.h: forms as QWidget windows,
// each kind of control on its Qt widget (the classic frame and line painted
// by hand), timers, event loops, the message box, the screen and the pointer.
//
// Where it differs from the Win32 backend:
// - A form hosted in a screen saver's window (xscreensaver's --window-id or
//   --root) is drawn into that X window; a window smaller than the picture
//   shows it scaled down in a view of its own (repaintHostView). Win32 makes
//   the form a child window of the host, drawn at its own size.
// - Covering the screen is held again and again (holdOnTop: raise, take the
//   keyboard and the mouse), because an X window manager, or none, does not
//   keep a window on top by itself; Win32's topmost window stays.
// - The window manager's frame is asked for through X11 requests (x11/).
// - An owner window of another program (setOwner) does not exist on X11 and
//   is ignored.
//
// This file: the application, its event loops, the message box, the screen
// and the pointer.

#include "platform/forms/backend.h"
#include "platform/forms/font_substitutes.h"
#include "platform/runtime/message_box.h"
#include "platform/forms/x11/display.h"
#include "platform/forms/qt/screen_scale.h"

#include <QApplication>
#include <QCursor>
#include <QEventLoop>
#include <QFont>
#include <QIcon>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

namespace platform::backend {

namespace {

// Tells the runtime of every event Qt dispatches.
class RuntimeApplication : public QApplication {
public:
    RuntimeApplication(int& argc, char** argv)
        : QApplication(argc, argv)
    {
    }

    bool notify(QObject* receiver, QEvent* event) override
    {
        DispatchScope dispatch;
        return QApplication::notify(receiver, event);
    }
};

QApplication*& application()
{
    static QApplication* current = nullptr;
    return current;
}

void installFontSubstitutes()
{
    for (const auto& [family, faces] : fontSubstitutes()) {
        QStringList substitutes;
        for (const char* face : faces)
            substitutes << QString::fromUtf8(face);
        QFont::insertSubstitutions(QString::fromUtf8(family), substitutes);
    }
}

QMessageBox::Icon messageBoxIcon(MessageBoxIcon icon)
{
    switch (icon) {
    case MessageBoxIcon::Critical:
        return QMessageBox::Critical;
    case MessageBoxIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageBoxIcon::Information:
        return QMessageBox::Information;
    case MessageBoxIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

// The X display Qt will open, when it runs on X11 (its "xcb" platform): the
// toolkit's option -display (or --display), else DISPLAY. None when Qt is
// told to run on another platform (-platform, QT_QPA_PLATFORM) or may
// choose Wayland in a Wayland session: there Qt decides alone.
std::optional<std::string> x11DisplayToOpen(int argc, char** argv)
{
    std::string platform = environment("QT_QPA_PLATFORM");
    std::string display = environment("DISPLAY");
    for (int i = 1; argv != nullptr && i + 1 < argc; ++i) {
        // Qt reads "--option" as "-option".
        const char* option = argv[i][0] == '-' && argv[i][1] == '-' ? argv[i] + 1 : argv[i];
        if (std::strcmp(option, "-platform") == 0)
            platform = argv[++i];
        else if (std::strcmp(option, "-display") == 0)
            display = argv[++i];
    }
    if (platform.empty() && environment("XDG_SESSION_TYPE") == "wayland")
        return std::nullopt;
    if (!platform.empty() && platform.rfind("xcb", 0) != 0)
        return std::nullopt;
    return display;
}

class QtEventLoop : public NativeEventLoop {
public:
    void run() override { loop_.exec(); }
    void quit() override { loop_.quit(); }

private:
    QEventLoop loop_;
};

} // namespace

void startApplication(int& argc, char** argv)
{
    // Without its display Qt's X11 platform ends the process (abort): the
    // runtime says so in words of its own instead.
    std::optional<std::string> display = x11DisplayToOpen(argc, argv);
    if (display && !x11::displayOpens(*display))
        throw DisplayUnavailable { *display };
    qt::takeOverScaling(display);
    application() = new RuntimeApplication(argc, argv);
    installFontSubstitutes();
    QFont font("MS UI Gothic");
    font.setPointSizeF(9 * qt::fontPointFactor());
    QApplication::setFont(font);
    QIcon icon;
    for (int size : { 16, 24, 32, 48, 64 })
        icon.addFile(QStringLiteral(":/zandreth/zandreth-%1.png").arg(size), QSize(size, size));
    QApplication::setWindowIcon(icon);
    QApplication::setQuitOnLastWindowClosed(false);
}

void stopApplication()
{
    delete application();
    application() = nullptr;
}

void runEventLoop() { QApplication::exec(); }
void quitEventLoop() { QApplication::quit(); }
void exitEventLoops(int status) { QApplication::exit(status); }

void clearEndedEventLoops()
{
    // A run of the main loop that ends at once clears an earlier exit.
    QTimer::singleShot(0, application(), [] { QApplication::exit(0); });
    QApplication::exec();
}

std::unique_ptr<NativeEventLoop> createEventLoop() { return std::make_unique<QtEventLoop>(); }

void hideAllWindows()
{
    for (QWidget* window : QApplication::topLevelWidgets())
        window->hide();
}

void showMessageBox(const MessageBoxRequest& request)
{
    QMessageBox box(messageBoxIcon(request.icon), QString::fromStdString(request.title),
                    QString::fromStdString(request.text), QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

void processPendingEvents()
{
    QApplication::sendPostedEvents();
    QApplication::processEvents(QEventLoop::AllEvents);
}

// Qt's backend runs on X11, whose hosts (xscreensaver) start the program
// with those switches.
bool hostSwitchesExist() { return true; }

double dotsPerInch() { return QGuiApplication::primaryScreen() ? qt::formsDotsPerInch() : 0; }

double screenScale() { return qt::screenScale(nullptr); }

PixelRect screenArea()
{
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    QRect area = screen->geometry();
    return { area.x(), area.y(), area.width(), area.height() };
}

void setPointerHidden(bool hidden)
{
    if (hidden)
        QGuiApplication::setOverrideCursor(Qt::BlankCursor);
    else
        QGuiApplication::restoreOverrideCursor();
}

} // namespace platform::backend
