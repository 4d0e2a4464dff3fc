// A form drawn inside a window of a screen-saver host (xscreensaver gives
// its programs a window by its X id). The form becomes a child window of
// the host's: it takes no input and leaves the cursor alone (the host owns
// both), and unloads when the process is asked to end (SIGTERM, SIGINT).
// The form's rules look at the host window now and then and have the form
// follow its size, or unload it once the window is destroyed.
//
// The form fills the host's window, whatever its size: the forms' rules
// draw the picture at a scale that fits it (a preview pane shows the whole
// picture scaled down).
//
// A hosted program's message is drawn in the host's window the same way, as
// a child window of it that takes no input: white text on black.

#include "platform/forms/qt/native_form.h"
#include "platform/runtime/runtime_error.h"
#include "platform/system/signals.h"
#include "platform/forms/x11/host_window.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <memory>

namespace platform::qt {

namespace {

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

// A message in a host's window: white text on black, without antialiasing,
// as screen-saver programs show theirs.
class MessageView : public QWidget {
public:
    explicit MessageView(const QString& text)
        : text_(text)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
        QFont textFont = font();
        textFont.setPixelSize(kTextPixels);
        textFont.setStyleStrategy(QFont::NoAntialias);
        setFont(textFont);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::black);
        painter.setPen(Qt::white);
        painter.drawText(rect().marginsRemoved(QMargins(kMargin, kMargin, kMargin, kMargin)),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text_);
    }

private:
    static constexpr int kTextPixels = 16;
    static constexpr int kMargin = 16;
    QString text_;
};

} // namespace

void QtForm::hostIn(uint64_t windowId)
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
    window->resize(size);
}

backend::PixelRect QtForm::hostArea() const
{
    xcb_connection_t* connection = x11Connection();
    x11::HostWindow now = connection ? x11::hostWindowNow(connection, hostWindowId) : x11::HostWindow {};
    return { 0, 0, now.width, now.height };
}

void QtForm::followHost(int width, int height) { window->resize(width, height); }

void QtForm::showInHost()
{
    if (!host) {
        host = QWindow::fromWinId(hostWindowId);
        embed(*window, *host, hostSize);
        watchEndSignals(*this);
    }
    shown = true;
    window->show();
}

} // namespace platform::qt

namespace platform::backend {

void showMessageInHost(uint64_t windowId, const std::string& text, int milliseconds)
{
    xcb_connection_t* connection = qt::x11Connection();
    if (!connection)
        return;
    x11::HostLookup found = x11::lookUpHostWindow(connection, windowId);
    if (found.kind != x11::HostKind::Window)
        return;
    // The host's window outlives the view that is its child.
    std::unique_ptr<QWindow> host(QWindow::fromWinId(found.window.id));
    qt::MessageView view(QString::fromStdString(text));
    qt::embed(view, *host, QSize(found.window.width, found.window.height));
    view.show();

    QEventLoop wait;
    QTimer::singleShot(milliseconds, &wait, &QEventLoop::quit);
    std::unique_ptr<QSocketNotifier> notifier;
    if (int requests = system::watchEndRequests(); requests >= 0) {
        notifier = std::make_unique<QSocketNotifier>(requests, QSocketNotifier::Read);
        QObject::connect(notifier.get(), &QSocketNotifier::activated, &wait, [&wait] {
            system::clearEndRequests();
            wait.quit();
        });
    }
    wait.exec();
    view.hide();
}

} // namespace platform::backend
