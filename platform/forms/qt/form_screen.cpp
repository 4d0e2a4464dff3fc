// A borderless form maximised over the whole screen: every monitor, with or
// without a window manager.
//
// On X11 the window does not ask a window manager for a full-screen state
// (there may be none, and a window manager fills only one monitor): it takes
// the geometry of the whole screen itself, bypasses the window manager, is
// raised again in the rounds the form's rules hold, so that no window opened
// later stays above it, and grabs the keyboard and the mouse, so that input
// anywhere reaches it.

#include "platform/forms/qt/native_form.h"
#include "platform/forms/qt/screen_scale.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

namespace platform::qt {

namespace {

bool onX11() { return x11Connection() != nullptr; }

// The whole screen: the bounding rectangle of every monitor, in pixels (Qt
// works in device pixels: see screen_scale.h).
QRect wholeScreen()
{
    QRect whole;
    for (QScreen* screen : QGuiApplication::screens())
        whole |= screen->geometry();
    return whole;
}

} // namespace

// Raises the window and takes the keyboard and the mouse; a grab fails while
// the window is not yet viewable, so it is tried again on the next round.
void QtForm::holdOnTop()
{
    QWindow* handle = window->windowHandle();
    if (!onX11() || !coversScreen || !handle || !window->isVisible())
        return;
    window->raise();
    if (!keyboardGrabbed)
        keyboardGrabbed = handle->setKeyboardGrabEnabled(true);
    if (!mouseGrabbed)
        mouseGrabbed = handle->setMouseGrabEnabled(true);
}

void QtForm::coverScreen()
{
    if (!coversScreen) {
        coversScreen = true;
        if (onX11()) {
            bool wasVisible = window->isVisible();
            window->setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint
                                   | Qt::X11BypassWindowManagerHint);
            if (wasVisible)
                window->show();
        }
        // A monitor added, removed or resized: cover the new screen.
        auto recover = [this] {
            if (window->isVisible() && !wholeScreen().isEmpty())
                window->setGeometry(wholeScreen());
        };
        auto* application = static_cast<QGuiApplication*>(QGuiApplication::instance());
        QObject::connect(application, &QGuiApplication::screenAdded, window, recover);
        QObject::connect(application, &QGuiApplication::screenRemoved, window, recover);
        for (QScreen* screen : QGuiApplication::screens())
            QObject::connect(screen, &QScreen::geometryChanged, window, recover);
    }
    QRect screen = wholeScreen();
    if (!screen.isEmpty())
        window->setGeometry(screen);
}

std::vector<backend::MonitorArea> QtForm::monitorAreas() const
{
    if (!coversScreen)
        return {};
    std::vector<backend::MonitorArea> areas;
    for (QScreen* screen : QGuiApplication::screens()) {
        QRect area = screen->geometry();
        areas.push_back({ { area.x(), area.y(), area.width(), area.height() }, screenScale(screen) });
    }
    return areas;
}

// A hosted form's host is on the screen of X11's hosts, whose root window
// spans every monitor: the primary monitor's scale stands for it.
double QtForm::scale() const
{
    if (!host) {
        if (QWindow* handle = window->windowHandle(); handle && window->isVisible())
            return screenScale(handle->screen());
    }
    return screenScale(nullptr);
}

void QtForm::showCoveringScreen()
{
    coverScreen();
    if (!onX11()) {
        window->showFullScreen();
        return;
    }
    window->show();
}

void QtForm::stopCoveringScreen()
{
    QWindow* handle = window->windowHandle();
    if (handle && keyboardGrabbed)
        handle->setKeyboardGrabEnabled(false);
    if (handle && mouseGrabbed)
        handle->setMouseGrabEnabled(false);
    keyboardGrabbed = false;
    mouseGrabbed = false;
}

} // namespace platform::qt
