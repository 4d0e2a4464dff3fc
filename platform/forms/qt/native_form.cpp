#include "platform/forms/qt/native_form.h"

#include "platform/forms/qt/native_control.h"
#include "platform/forms/x11/window_frame.h"

#include <QApplication>
#include <QCloseEvent>
#include <QInputMethod>
#include <QKeyEvent>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>

namespace platform::qt {

namespace {

Qt::WindowFlags flagsFor(const FormDesign& design)
{
    switch (design.borderStyle) {
    case BorderStyle::None:
        return Qt::Window | Qt::FramelessWindowHint;
    case BorderStyle::FixedDialog:
        return Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
            | Qt::WindowCloseButtonHint;
    case BorderStyle::FixedSingle:
    case BorderStyle::Sizable:
        break;
    }
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
        | Qt::WindowCloseButtonHint;
    if (design.minButton)
        flags |= Qt::WindowMinimizeButtonHint;
    if (design.maxButton)
        flags |= Qt::WindowMaximizeButtonHint;
    if (!design.showInTaskbar)
        flags |= Qt::Tool;
    return flags;
}

// The frame the window manager will put around the window (see
// x11/window_frame.h); none on another window system.
QMargins expectedFrameMargins(QWidget& window)
{
    xcb_connection_t* connection = x11Connection();
    if (!connection)
        return {};
    auto frame = x11::expectedFrameExtents(connection, static_cast<uint32_t>(window.winId()));
    return QMargins(frame.left, frame.top, frame.right, frame.bottom);
}

} // namespace

FormWindow::FormWindow(backend::NativeEvents& events)
    : QWidget(nullptr)
    , events_(events)
{
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled, true);
    forwardInput(*this, events);
}

void FormWindow::keyPressEvent(QKeyEvent* event)
{
    events_.nativeKeyDown(keyCodeOf(*event), shiftStateOf(event->modifiers()));
}

void FormWindow::closeEvent(QCloseEvent* event)
{
    // The form decides: its unload handler runs and the window goes with it.
    event->ignore();
    events_.nativeCloseRequested();
}

QtForm::QtForm(const FormDesign& formDesign, backend::NativeEvents& formEvents)
    : window(new FormWindow(formEvents))
    , events(formEvents)
    , design(formDesign)
{
    window->setWindowFlags(flagsFor(design));
    window->setWindowTitle(QString::fromStdString(design.caption));
    window->setWindowIcon(QApplication::windowIcon());
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, colourFromValue(design.backColor));
    window->setPalette(palette);
    window->setAutoFillBackground(true);
}

QtForm::~QtForm()
{
    delete window;
    delete host;
}

void QtForm::setFocus(bool) { window->setFocus(Qt::ActiveWindowFocusReason); }

void QtForm::setCaption(const std::string& text) { window->setWindowTitle(QString::fromStdString(text)); }

backend::PixelRect QtForm::clientArea() const
{
    QRect client = window->geometry();
    return { client.x(), client.y(), client.width(), client.height() };
}

// The outer rectangle, frame included: where code placed the window until it
// is on the screen. Before the window is on the screen Qt knows no frame;
// the window manager is asked what it will add.
backend::PixelRect QtForm::outerArea()
{
    QPoint at = !shown && placedAt ? *placedAt : window->frameGeometry().topLeft();
    QSize size = window->frameGeometry().size();
    if (!(shown || window->isVisible() || design.borderStyle == BorderStyle::None)) {
        if (!expectedFrame)
            expectedFrame = expectedFrameMargins(*window);
        size = size.grownBy(*expectedFrame);
    }
    return { at.x(), at.y(), size.width(), size.height() };
}

void QtForm::setClientSize(int width, int height) { window->resize(width, height); }

void QtForm::placeOuter(int x, int y)
{
    placedAt = QPoint(x, y);
    placeWindow(*placedAt);
}

// Puts the window's frame at `outer`. Qt places a window by its frame only
// once it knows the frame, after the window manager has put one around it;
// until then the client area goes where the frame the manager will add
// leaves it.
void QtForm::placeWindow(QPoint outer)
{
    const bool frameKnown = window->frameGeometry().topLeft() != window->geometry().topLeft();
    if (frameKnown || design.borderStyle == BorderStyle::None) {
        window->move(outer);
        return;
    }
    if (!expectedFrame)
        expectedFrame = expectedFrameMargins(*window);
    // A window that exists on the screen's side is moved by its client area.
    window->winId();
    window->move(outer + QPoint(expectedFrame->left(), expectedFrame->top()));
}

void QtForm::show(backend::WindowDisplay display, bool modal)
{
    if (modal)
        window->setWindowModality(Qt::ApplicationModal);
    xcb_connection_t* connection = x11Connection();
    if (!design.showInTaskbar && connection)
        x11::keepOutOfTaskbar(connection, static_cast<uint32_t>(window->winId()));
    switch (display) {
    case backend::WindowDisplay::CoverScreen:
        showCoveringScreen();
        break;
    case backend::WindowDisplay::Maximized:
        window->showMaximized();
        break;
    case backend::WindowDisplay::Minimized:
        window->showMinimized();
        break;
    case backend::WindowDisplay::Normal:
        window->show();
        break;
    }
    if (placedAt && display == backend::WindowDisplay::Normal)
        placeWindow(*placedAt);
    shown = true;
    window->activateWindow();
    window->raise();
}

void QtForm::setWindowState(backend::WindowDisplay display)
{
    if (display == backend::WindowDisplay::CoverScreen)
        showCoveringScreen();
    else if (display == backend::WindowDisplay::Maximized)
        window->setWindowState(Qt::WindowMaximized);
    else if (display == backend::WindowDisplay::Minimized)
        window->setWindowState(Qt::WindowMinimized);
    else
        window->setWindowState(Qt::WindowNoState);
}

void QtForm::hide()
{
    shown = false;
    if (coversScreen)
        stopCoveringScreen();
    window->hide();
    window->setWindowModality(Qt::NonModal);
}

void QtForm::setTabOrder(const std::vector<backend::NativeControl*>& order)
{
    for (std::size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(widgetOf(*order[i - 1]), widgetOf(*order[i]));
    if (!order.empty())
        window->setFocusPolicy(Qt::ClickFocus);
}

void QtForm::setInputMethodEnabled(bool enabled)
{
    window->setAttribute(Qt::WA_InputMethodEnabled, enabled);
    if (!enabled && window->isActiveWindow())
        QGuiApplication::inputMethod()->reset();
    QGuiApplication::inputMethod()->update(Qt::ImEnabled);
}

xcb_connection_t* x11Connection()
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

QWidget* widgetOf(const backend::NativeWindow& window)
{
    if (auto* control = dynamic_cast<const QtControl*>(&window))
        return control->widget();
    return static_cast<const QtForm&>(window).window;
}

} // namespace platform::qt

namespace platform::backend {

std::unique_ptr<NativeForm> createForm(const FormDesign& design, int clientWidth, int clientHeight,
                                       std::optional<PixelRect> clientAt, NativeEvents& events)
{
    auto form = std::make_unique<qt::QtForm>(design, events);
    QWidget* window = form->window;
    QSize client(clientWidth, clientHeight);
    if (design.borderStyle == BorderStyle::FixedDialog)
        window->setFixedSize(client);
    else
        window->resize(client);
    if (clientAt)
        window->setGeometry(QRect(QPoint(clientAt->x, clientAt->y), client));
    return form;
}

} // namespace platform::backend
