#include "platform/form.h"

#include "platform/command_button.h"
#include "platform/qt/control_impl.h"
#include "platform/qt/form_host.h"
#include "platform/qt/form_screen.h"
#include "platform/qt/form_window.h"
#include "platform/qt/input_method_registry.h"
#include "platform/qt/timer_impl.h"
#include "platform/qt/window_frame.h"
#include "platform/runtime.h"
#include "platform/testing.h"

#include <QApplication>
#include <QEventLoop>
#include <QIcon>
#include <QKeyEvent>
#include <QPointer>
#include <QWindow>

#include <algorithm>
#include <utility>

namespace platform {

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

// The focusable controls of a form in tab order.
std::vector<Control*> tabOrder(const FormImpl& impl)
{
    std::vector<Control*> controls;
    for (Control* control : impl.controls)
        if (control->tabIndex() >= 0 && control->impl().widget
            && control->impl().widget->focusPolicy() != Qt::NoFocus)
            controls.push_back(control);
    std::stable_sort(controls.begin(), controls.end(),
                     [](Control* a, Control* b) { return a->tabIndex() < b->tabIndex(); });
    return controls;
}

ModalShowObserver& modalShowObserver()
{
    static ModalShowObserver observer;
    return observer;
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

// The window's outer size in pixels, frame included.
QSize outerSizeOf(FormImpl& impl)
{
    auto* window = impl.window;
    QSize size = window->frameGeometry().size();
    // Before the window is on the screen Qt knows no frame; the window
    // manager is asked what it will add.
    if (impl.shown || window->isVisible() || impl.design.borderStyle == BorderStyle::None)
        return size;
    if (!impl.expectedFrame)
        impl.expectedFrame = expectedFrameMargins(*window);
    return size.grownBy(*impl.expectedFrame);
}

// The window's outer position in pixels, frame included: where code placed
// it until it is on the screen.
QPoint outerPositionOf(const FormImpl& impl)
{
    if (!impl.shown && impl.placedAt)
        return *impl.placedAt;
    return impl.window->frameGeometry().topLeft();
}

// Puts the window's frame at `outer`. Qt places a window by its frame only
// once it knows the frame, after the window manager has put one around it;
// until then the client area goes where the frame the manager will add
// leaves it.
void placeWindow(FormImpl& impl, QPoint outer)
{
    auto* window = impl.window;
    const bool frameKnown = window->frameGeometry().topLeft() != window->geometry().topLeft();
    if (frameKnown || impl.design.borderStyle == BorderStyle::None) {
        window->move(outer);
        return;
    }
    if (!impl.expectedFrame)
        impl.expectedFrame = expectedFrameMargins(*window);
    // A window that exists on the screen's side is moved by its client area.
    window->winId();
    window->move(outer + QPoint(impl.expectedFrame->left(), impl.expectedFrame->top()));
}

} // namespace

ModalShowObserver setModalShowObserverForTesting(ModalShowObserver observer)
{
    return std::exchange(modalShowObserver(), std::move(observer));
}

Form::Form(const FormDesign& design)
    : Container(std::make_unique<ContainerImpl>())
    , formImpl_(std::make_unique<FormImpl>())
{
    formImpl_->design = design;
    formImpl_->caption = design.caption;
    formImpl_->window = new FormWindow(*this);
    auto* window = formImpl_->window;
    window->setWindowFlags(flagsFor(design));
    window->setWindowTitle(QString::fromStdString(design.caption));
    window->setWindowIcon(QApplication::windowIcon());
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, colourFromValue(design.backColor));
    window->setPalette(palette);
    window->setAutoFillBackground(true);

    auto& container = containerImpl();
    container.form = this;
    container.scaleMode = design.scaleMode;
    container.host = window;

    QSize client(toPixels(design.clientWidth), toPixels(design.clientHeight));
    if (design.borderStyle == BorderStyle::FixedDialog)
        window->setFixedSize(client);
    else
        window->resize(client);
    if (design.clientLeft && design.clientTop)
        window->setGeometry(QRect(QPoint(static_cast<int>(std::lround(*design.clientLeft / twipsPerPixel())),
                                         static_cast<int>(std::lround(*design.clientTop / twipsPerPixel()))),
                                  client));
}

Form::~Form()
{
    // Controls are members of the derived form and are already gone; the
    // window goes last.
    forgetInputContext(this);
    if (loaded_)
        Runtime::current().formUnloaded();
    delete formImpl_->hostView;
    delete formImpl_->window;
    delete formImpl_->host;
}

FormImpl& Form::formImpl() const { return *formImpl_; }

void Form::load()
{
    if (loaded_)
        return;
    auto& runtime = Runtime::current();
    if (runtime.ended())
        return;
    loaded_ = true;
    runtime.formLoaded();
    // The timers start once the load is over and events flow: none ticks
    // into a Form_Load that has not finished.
    formImpl_->loading = true;
    runtime.deliver([this] { Form_Load(); });
    formImpl_->loading = false;
    for (Timer* timer : formImpl_->timers)
        timerImplOf(*timer).refresh();
}

void Form::show(ShowMode mode)
{
    load();
    auto& runtime = Runtime::current();
    if (!loaded_ || runtime.ended())
        return;
    auto* window = formImpl_->window;
    if (formImpl_->hostWindowId != 0) {
        showInHost(*this);
        formImpl_->shown = true;
        return;
    }

    // Tab order and the first focus follow the controls' tab indices.
    auto order = tabOrder(*formImpl_);
    for (std::size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1]->impl().widget, order[i]->impl().widget);
    // Tab goes round the controls, from the last back to the first; the
    // window itself takes the keyboard only on a form without such controls.
    if (!order.empty())
        window->setFocusPolicy(Qt::ClickFocus);

    if (mode == ShowMode::Modal)
        window->setWindowModality(Qt::ApplicationModal);
    if (!formImpl_->design.showInTaskbar)
        keepOutOfTaskbar(*window);
    switch (formImpl_->windowState) {
    case WindowState::Maximized:
        if (formImpl_->design.borderStyle == BorderStyle::None)
            showCoveringScreen(*this);
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
    if (formImpl_->placedAt && formImpl_->windowState == WindowState::Normal)
        placeWindow(*formImpl_, *formImpl_->placedAt);
    formImpl_->shown = true;
    window->activateWindow();
    window->raise();
    for (Control* control : order) {
        if (control->impl().widget->isVisibleTo(window) && control->impl().widget->isEnabled()) {
            control->impl().widget->setFocus(Qt::TabFocusReason);
            break;
        }
    }
    if (order.empty())
        window->setFocus(Qt::ActiveWindowFocusReason);

    if (mode == ShowMode::Modal) {
        if (modalShowObserver()) {
            ModalShowObserver observer = modalShowObserver();
            observer(*this);
            if (!loaded_)
                return;
        }
        QEventLoop loop;
        formImpl_->modalLoop = &loop;
        struct ModalLoop {
            QEventLoop*& current;
            ~ModalLoop() { current = nullptr; }
        } modalLoop { formImpl_->modalLoop };
        runtime.runNested([&] { loop.exec(); });
    }
}

void Form::unload()
{
    if (!loaded_)
        return;
    int16_t cancel = 0;
    Runtime::current().deliver([&] { Form_Unload(cancel); });
    if (cancel != 0 && !Runtime::current().ended())
        return;
    finishUnload();
}

void Form::finishUnload()
{
    if (!loaded_)
        return;
    loaded_ = false;
    formImpl_->shown = false;
    for (Timer* timer : formImpl_->timers)
        timerImplOf(*timer).refresh();
    if (formImpl_->coversScreen)
        stopCoveringScreen(*this);
    formImpl_->window->hide();
    if (formImpl_->hostView)
        formImpl_->hostView->hide();
    formImpl_->window->setWindowModality(Qt::NonModal);
    if (formImpl_->modalLoop)
        formImpl_->modalLoop->quit();
    Runtime::current().formUnloaded();
}

bool Form::loaded() const { return loaded_; }
bool Form::shown() const { return formImpl_->shown; }

const std::string& Form::caption() const { return formImpl_->caption; }

void Form::setCaption(const std::string& text)
{
    formImpl_->caption = text;
    formImpl_->window->setWindowTitle(QString::fromStdString(text));
}

float Form::left() const { return outerPositionOf(*formImpl_).x() * twipsPerPixel(); }
float Form::top() const { return outerPositionOf(*formImpl_).y() * twipsPerPixel(); }
float Form::width() const { return outerSizeOf(*formImpl_).width() * twipsPerPixel(); }
float Form::height() const { return outerSizeOf(*formImpl_).height() * twipsPerPixel(); }

void Form::setLeft(float twips)
{
    QPoint outer = outerPositionOf(*formImpl_);
    outer.setX(static_cast<int>(std::lround(twips / twipsPerPixel())));
    formImpl_->placedAt = outer;
    placeWindow(*formImpl_, outer);
}

void Form::setTop(float twips)
{
    QPoint outer = outerPositionOf(*formImpl_);
    outer.setY(static_cast<int>(std::lround(twips / twipsPerPixel())));
    formImpl_->placedAt = outer;
    placeWindow(*formImpl_, outer);
}

float Form::scaleWidth() const { return fromPixels(formImpl_->window->width()); }
float Form::scaleHeight() const { return fromPixels(formImpl_->window->height()); }

void Form::setClientSize(float width, float height)
{
    formImpl_->window->resize(toPixels(width), toPixels(height));
}

WindowState Form::windowState() const { return formImpl_->windowState; }

void Form::setWindowState(WindowState state)
{
    formImpl_->windowState = state;
    if (!formImpl_->shown)
        return;
    auto* window = formImpl_->window;
    if (state == WindowState::Maximized && formImpl_->design.borderStyle == BorderStyle::None)
        showCoveringScreen(*this);
    else if (state == WindowState::Maximized)
        window->setWindowState(Qt::WindowMaximized);
    else if (state == WindowState::Minimized)
        window->setWindowState(Qt::WindowMinimized);
    else
        window->setWindowState(Qt::WindowNoState);
}

void Form::deliverKeyDown(int16_t keyCode, int16_t shift)
{
    if (loaded_)
        Runtime::current().deliver([&] { Form_KeyDown(keyCode, shift); });
}

void Form::deliverMouseDown(int16_t button, int16_t shift, float x, float y)
{
    if (loaded_)
        Runtime::current().deliver([&] { Form_MouseDown(button, shift, x, y); });
}

void Form::deliverMouseMove(int16_t button, int16_t shift, float x, float y)
{
    if (loaded_)
        Runtime::current().deliver([&] { Form_MouseMove(button, shift, x, y); });
}

void Form::pressKeyForTesting(int16_t keyCode)
{
    auto [key, text] = qtKeyOf(keyCode);
    QWidget* window = formImpl_->window;
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

void Form::deliverClose()
{
    Runtime::current().deliver([this] { unload(); });
}

} // namespace platform
