#include "platform/qt/native_form.h"

#include "platform/qt/native_control.h"
#include "platform/qt/window_frame.h"

#include <QApplication>
#include <QCloseEvent>
#include <QInputMethod>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>

#include <utility>

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

// A classic key code as a Qt key and the text it types.
std::pair<int, QString> qtKeyOf(int16_t keyCode)
{
    switch (keyCode) {
    case 8:
        return { Qt::Key_Backspace, QStringLiteral("\b") };
    case 9:
        return { Qt::Key_Tab, QStringLiteral("\t") };
    case 13:
        return { Qt::Key_Return, QStringLiteral("\r") };
    case 27:
        return { Qt::Key_Escape, QString(QChar(0x1B)) };
    case 32:
        return { Qt::Key_Space, QStringLiteral(" ") };
    case 37:
        return { Qt::Key_Left, {} };
    case 38:
        return { Qt::Key_Up, {} };
    case 39:
        return { Qt::Key_Right, {} };
    case 40:
        return { Qt::Key_Down, {} };
    case 33:
        return { Qt::Key_PageUp, {} };
    case 34:
        return { Qt::Key_PageDown, {} };
    case 35:
        return { Qt::Key_End, {} };
    case 36:
        return { Qt::Key_Home, {} };
    default:
        break;
    }
    if (keyCode >= 'A' && keyCode <= 'Z')
        return { keyCode, QString(QChar(keyCode - 'A' + 'a')) };
    if (keyCode >= '0' && keyCode <= '9')
        return { keyCode, QString(QChar(keyCode)) };
    return { Qt::Key_unknown, {} };
}

} // namespace

FormWindow::FormWindow(backend::NativeEvents& events)
    : QWidget(nullptr)
    , events_(events)
{
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled, true);
}

void FormWindow::keyPressEvent(QKeyEvent* event)
{
    events_.nativeKeyDown(keyCodeOf(*event), shiftStateOf(event->modifiers()));
}

void FormWindow::mousePressEvent(QMouseEvent* event)
{
    QPointF at = event->position();
    events_.nativeMouseDown(mouseButtonOf(event->button()), shiftStateOf(event->modifiers()), static_cast<int>(at.x()),
                            static_cast<int>(at.y()));
}

void FormWindow::mouseMoveEvent(QMouseEvent* event)
{
    QPointF at = event->position();
    events_.nativeMouseMove(mouseButtonOf(event->buttons()), shiftStateOf(event->modifiers()), static_cast<int>(at.x()),
                            static_cast<int>(at.y()));
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
    delete hostView;
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

void QtForm::show(WindowState state, bool modal)
{
    if (modal)
        window->setWindowModality(Qt::ApplicationModal);
    if (!design.showInTaskbar)
        keepOutOfTaskbar(*window);
    switch (state) {
    case WindowState::Maximized:
        if (design.borderStyle == BorderStyle::None)
            showCoveringScreen();
        else
            window->showMaximized();
        break;
    case WindowState::Minimized:
        window->showMinimized();
        break;
    case WindowState::Normal:
        window->show();
        break;
    }
    if (placedAt && state == WindowState::Normal)
        placeWindow(*placedAt);
    shown = true;
    window->activateWindow();
    window->raise();
}

void QtForm::setWindowState(WindowState state)
{
    if (state == WindowState::Maximized && design.borderStyle == BorderStyle::None)
        showCoveringScreen();
    else if (state == WindowState::Maximized)
        window->setWindowState(Qt::WindowMaximized);
    else if (state == WindowState::Minimized)
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
    if (hostView)
        hostView->hide();
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

int16_t keyCodeOf(const QKeyEvent& event)
{
    int key = event.key();
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return static_cast<int16_t>(key);
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return static_cast<int16_t>(key);
    switch (key) {
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Space:
        return 32;
    case Qt::Key_Tab:
        return 9;
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Shift:
        return 16;
    case Qt::Key_Control:
        return 17;
    case Qt::Key_Alt:
        return 18;
    case Qt::Key_Left:
        return 37;
    case Qt::Key_Up:
        return 38;
    case Qt::Key_Right:
        return 39;
    case Qt::Key_Down:
        return 40;
    default:
        break;
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return static_cast<int16_t>(112 + (key - Qt::Key_F1));
    return static_cast<int16_t>(event.nativeVirtualKey() & 0x7FFF);
}

int16_t shiftStateOf(Qt::KeyboardModifiers modifiers)
{
    int16_t shift = 0;
    if (modifiers & Qt::ShiftModifier)
        shift |= 1;
    if (modifiers & Qt::ControlModifier)
        shift |= 2;
    if (modifiers & Qt::AltModifier)
        shift |= 4;
    return shift;
}

int16_t mouseButtonOf(Qt::MouseButtons buttons)
{
    int16_t button = 0;
    if (buttons & Qt::LeftButton)
        button |= 1;
    if (buttons & Qt::RightButton)
        button |= 2;
    if (buttons & Qt::MiddleButton)
        button |= 4;
    return button;
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

// The key goes to the focused widget of the form's window (to the window
// itself when none has the focus), and on from there as Qt propagates it.
void pressKey(NativeForm& form, int16_t keyCode)
{
    auto [key, text] = qt::qtKeyOf(keyCode);
    QWidget* window = static_cast<qt::QtForm&>(form).window;
    QWidget* focus = QApplication::focusWidget();
    if (!focus || focus->window() != window)
        focus = window->focusWidget();
    QPointer<QWidget> target = focus ? focus : window;
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &press);
    if (!target)
        return;
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &release);
}

} // namespace platform::backend
