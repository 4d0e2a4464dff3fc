// A form drawn inside a window of a screen-saver host (xscreensaver gives
// its programs a window by its X id). The form becomes a child window of
// the host's: it takes no input and leaves the cursor alone (the host owns
// both), follows the host window's size, and unloads when the host window
// is destroyed or the process is asked to end (SIGTERM, SIGINT).
//
// A host window smaller than the form's picture (a preview pane) shows the
// whole picture scaled down to fit, centred: the form then keeps the
// picture's size off screen and a view in the host window paints it scaled.

#include "platform/qt/native_form.h"
#include "platform/runtime_error.h"
#include "platform/system_signals.h"
#include "platform/x11/host_window.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace platform::qt {

namespace {

// How often the host window is looked at (gone? resized?) and the scaled
// picture repainted.
constexpr int kHostPollMs = 200;

// SIGTERM and SIGINT end a hosted form through the event loop.
void watchEndSignals(QtForm& form)
{
    int requests = system::watchEndRequests();
    if (requests < 0)
        return;
    auto* notifier = new QSocketNotifier(requests, QSocketNotifier::Read, form.window);
    QObject::connect(notifier, &QSocketNotifier::activated, form.window, [&form] {
        system::clearEndRequests();
        form.events.nativeCloseRequested();
    });
}

// Paints the form's picture scaled down to fit, centred, on black.
class ScaledView : public QWidget {
public:
    explicit ScaledView(QWidget& picture)
        : picture_(&picture)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::black);
        if (!picture_)
            return;
        QImage image(picture_->size(), QImage::Format_RGB32);
        image.fill(Qt::black);
        picture_->render(&image);
        // Scaled down only: a window that has grown to hold the picture
        // shows it at its own size.
        QSize fitted = image.size();
        if (fitted.width() > width() || fitted.height() > height())
            fitted = fitted.scaled(size(), Qt::KeepAspectRatio);
        QRect target(QPoint((width() - fitted.width()) / 2, (height() - fitted.height()) / 2), fitted);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(target, image);
    }

private:
    QPointer<QWidget> picture_;
};

// Makes a top-level widget a child window of the host's, taking no input.
void embed(QWidget& widget, QWindow& host, const QSize& size)
{
    widget.setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowTransparentForInput
                          | Qt::WindowDoesNotAcceptFocus);
    widget.setAttribute(Qt::WA_ShowWithoutActivating);
    widget.setFocusPolicy(Qt::NoFocus);
    widget.winId();
    widget.windowHandle()->setParent(&host);
    widget.setGeometry(QRect(QPoint(0, 0), size));
}

} // namespace

void QtForm::hostIn(uint64_t windowId, int pictureWidth, int pictureHeight)
{
    xcb_connection_t* connection = x11Connection();
    if (!connection)
        throw RuntimeError(RuntimeErrorKind::Other,
                           "drawing into the screen saver's window needs an X display (X11), and "
                               + QGuiApplication::platformName().toStdString() + " is not one");
    x11::HostWindow found = x11::findHostWindow(connection, windowId);
    QSize size(found.width, found.height);
    hostWindowId = found.id;
    hostSize = size;
    QSize picture(pictureWidth, pictureHeight);
    hostScaled = size.width() < picture.width() || size.height() < picture.height();
    window->resize(hostScaled ? picture : size);
}

void QtForm::showInHost()
{
    if (!host) {
        host = QWindow::fromWinId(hostWindowId);
        if (hostScaled) {
            // The picture stays off screen at its own size; the view shows it.
            window->setAttribute(Qt::WA_DontShowOnScreen);
            hostView = new ScaledView(*window);
            embed(*hostView, *host, hostSize);
        } else {
            embed(*window, *host, hostSize);
        }
        watchEndSignals(*this);
        auto* poll = new QTimer(window);
        QObject::connect(poll, &QTimer::timeout, window, [this] {
            if (!shown)
                return;
            xcb_connection_t* connection = x11Connection();
            x11::HostWindow now = connection ? x11::hostWindowNow(connection, hostWindowId) : x11::HostWindow {};
            QSize size(now.width, now.height);
            if (size.isEmpty()) {
                // The host destroyed its window: the run is over.
                events.nativeCloseRequested();
                return;
            }
            if (size != hostSize) {
                hostSize = size;
                if (hostView)
                    hostView->resize(size);
                else
                    window->resize(size);
            }
            if (hostView)
                hostView->update();
        });
        poll->start(kHostPollMs);
    }
    shown = true;
    window->show();
    if (hostView)
        hostView->show();
}

} // namespace platform::qt
