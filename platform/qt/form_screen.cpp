// A borderless form maximised over the whole screen: every monitor, with or
// without a window manager.
//
// On X11 the window does not ask a window manager for a full-screen state
// (there may be none, and a window manager fills only one monitor): it takes
// the geometry of the whole screen itself, bypasses the window manager, is
// raised again every second so that no window opened later stays above it,
// and grabs the keyboard and the mouse, so that input anywhere reaches it.

#include "platform/form.h"

#include "platform/qt/control_impl.h"
#include "platform/qt/form_screen.h"
#include "platform/qt/form_window.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWindow>

namespace platform {

namespace {

constexpr int kKeepOnTopMs = 1000;

bool onX11() { return QGuiApplication::platformName() == QLatin1String("xcb"); }

// The whole screen: the bounding rectangle of every monitor, in pixels.
QRect wholeScreen()
{
    QRect whole;
    for (QScreen* screen : QGuiApplication::screens())
        whole |= screen->geometry();
    return whole;
}

// Raises the window and takes the keyboard and the mouse; a grab fails while
// the window is not yet viewable, so it is tried again on the next round.
void keepOnTop(FormImpl& impl)
{
    QWindow* handle = impl.window->windowHandle();
    if (!handle || !impl.window->isVisible())
        return;
    impl.window->raise();
    if (!impl.keyboardGrabbed)
        impl.keyboardGrabbed = handle->setKeyboardGrabEnabled(true);
    if (!impl.mouseGrabbed)
        impl.mouseGrabbed = handle->setMouseGrabEnabled(true);
}

} // namespace

void Form::coverScreen()
{
    auto& impl = *formImpl_;
    if (impl.design.borderStyle != BorderStyle::None)
        return;
    auto* window = impl.window;
    if (!impl.coversScreen) {
        impl.coversScreen = true;
        if (onX11()) {
            bool wasVisible = window->isVisible();
            window->setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint
                                   | Qt::X11BypassWindowManagerHint);
            if (wasVisible)
                window->show();
        }
        // A monitor added, removed or resized: cover the new screen.
        auto recover = [window] {
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

std::vector<Area> Form::monitors() const
{
    const Area whole { 0, 0, scaleWidth(), scaleHeight() };
    if (!formImpl_->coversScreen)
        return { whole };
    QRect client = formImpl_->window->geometry();
    QRect inside(QPoint(0, 0), client.size());
    std::vector<Area> areas;
    for (QScreen* screen : QGuiApplication::screens()) {
        QRect area = screen->geometry().translated(-client.topLeft()).intersected(inside);
        if (area.isEmpty())
            continue;
        areas.push_back({ fromPixels(area.x()), fromPixels(area.y()), fromPixels(area.width()),
                          fromPixels(area.height()) });
    }
    if (areas.size() < 2)
        return { whole };
    return areas;
}

void showCoveringScreen(Form& form)
{
    auto& impl = form.formImpl();
    auto* window = impl.window;
    form.coverScreen();
    if (!onX11()) {
        window->showFullScreen();
        return;
    }
    window->show();
    if (!impl.keepOnTop) {
        impl.keepOnTop = new QTimer(window);
        QObject::connect(impl.keepOnTop, &QTimer::timeout, window, [&impl] { keepOnTop(impl); });
    }
    impl.keepOnTop->start(kKeepOnTopMs);
    // The grabs succeed once the server has mapped the window: try soon.
    QTimer::singleShot(50, window, [&impl] { keepOnTop(impl); });
    QTimer::singleShot(250, window, [&impl] { keepOnTop(impl); });
}

void stopCoveringScreen(Form& form)
{
    auto& impl = form.formImpl();
    if (impl.keepOnTop)
        impl.keepOnTop->stop();
    QWindow* handle = impl.window->windowHandle();
    if (handle && impl.keyboardGrabbed)
        handle->setKeyboardGrabEnabled(false);
    if (handle && impl.mouseGrabbed)
        handle->setMouseGrabEnabled(false);
    impl.keyboardGrabbed = false;
    impl.mouseGrabbed = false;
}

} // namespace platform
