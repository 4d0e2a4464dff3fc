#include "platform/forms/form.h"

#include "platform/forms/control.h"
#include "platform/forms/input_method.h"
#include "platform/forms/runtime.h"
#include "platform/testing/hooks.h"
#include "platform/forms/timer.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <utility>

namespace platform {

namespace {

// How often a hosted form looks at its host's window (gone? resized?).
constexpr int32_t kHostWatchMs = 200;

// When the rounds that keep a form covering the screen on top come, counted
// from each round before: soon after the window is shown (at 50 and 250 ms,
// for the grabs succeed only once the window system has put the window up),
// then every second from the show on.
constexpr int32_t kKeepOnTopFirstRounds[] = { 50, 200, 750 };
constexpr int32_t kKeepOnTopMs = 1000;

// The part of `area` inside `bounds`; empty when they do not overlap.
backend::PixelRect intersection(const backend::PixelRect& area, const backend::PixelRect& bounds)
{
    int left = std::max(area.x, bounds.x);
    int top = std::max(area.y, bounds.y);
    int right = std::min(area.x + area.width, bounds.x + bounds.width);
    int bottom = std::min(area.y + area.height, bounds.y + bounds.height);
    if (right <= left || bottom <= top)
        return {};
    return { left, top, right - left, bottom - top };
}

// A scale the window system reports, taken as 1 where it makes no sense.
double sensibleScale(double scale)
{
    return scale >= 0.25 && scale <= 16 ? scale : 1;
}

ModalShowObserver& modalShowObserver()
{
    static ModalShowObserver observer;
    return observer;
}

} // namespace

ModalShowObserver setModalShowObserverForTesting(ModalShowObserver observer)
{
    return std::exchange(modalShowObserver(), std::move(observer));
}

Form::Form(const FormDesign& design)
    : Container(*this, design.scaleMode)
    , design_(design)
    , caption_(design.caption)
    , scale_(design.scaleMode == ScaleMode::Pixels ? sensibleScale(backend::screenScale()) : 1)
{
    std::optional<backend::PixelRect> at;
    if (design.clientLeft && design.clientTop)
        at = backend::PixelRect { twipsToPixels(*design.clientLeft), twipsToPixels(*design.clientTop), 0, 0 };
    native_ = backend::createForm(design, toPixels(design.clientWidth), toPixels(design.clientHeight), at, *this);
    setNativeHost(*native_);
}

Form::~Form()
{
    // Controls are members of the derived form and are already gone; the
    // window goes last.
    forgetInputContext(hWnd());
    if (loaded_)
        Runtime::current().formUnloaded();
}

void Form::startTimers()
{
    for (Timer* timer : timers_)
        timer->refresh();
}

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
    loading_ = true;
    runtime.deliver([this] { Form_Load(); });
    loading_ = false;
    startTimers();
}

std::vector<Control*> Form::tabOrder() const
{
    std::vector<Control*> order;
    for (Control* control : controls_)
        if (control->tabIndex() >= 0 && control->takesFocus())
            order.push_back(control);
    std::stable_sort(order.begin(), order.end(),
                     [](Control* a, Control* b) { return a->tabIndex() < b->tabIndex(); });
    return order;
}

void Form::show(ShowMode mode)
{
    load();
    auto& runtime = Runtime::current();
    if (!loaded_ || runtime.ended())
        return;
    if (hosted_) {
        native_->showInHost();
        shown_ = true;
        return;
    }

    // Tab order and the first focus follow the controls' tab indices; Tab
    // goes round the controls, from the last back to the first.
    auto order = tabOrder();
    std::vector<backend::NativeControl*> natives;
    for (Control* control : order)
        natives.push_back(&control->native());
    native_->setTabOrder(natives);
    native_->show(display(), mode == ShowMode::Modal);
    shown_ = true;
    if (coversScreenWhenShown())
        startKeepingOnTop();
    auto first = std::find_if(order.begin(), order.end(),
                              [](Control* control) { return control->shownInForm() && control->enabled(); });
    if (first != order.end())
        (*first)->native().setFocus(true);
    else if (order.empty())
        native_->setFocus(false);

    if (mode == ShowMode::Modal) {
        if (modalShowObserver()) {
            ModalShowObserver observer = modalShowObserver();
            observer(*this);
            if (!loaded_)
                return;
        }
        auto loop = backend::createEventLoop();
        modalLoop_ = loop.get();
        struct ModalLoop {
            backend::NativeEventLoop*& current;
            ~ModalLoop() { current = nullptr; }
        } modalLoop { modalLoop_ };
        runtime.runNested([&] { loop->run(); });
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
    shown_ = false;
    startTimers();
    native_->hide();
    if (modalLoop_)
        modalLoop_->quit();
    Runtime::current().formUnloaded();
}

bool Form::loaded() const { return loaded_; }
bool Form::shown() const { return shown_; }

const std::string& Form::caption() const { return caption_; }

void Form::setCaption(const std::string& text)
{
    caption_ = text;
    native_->setCaption(text);
}

float Form::left() const { return pixelsToTwips(native_->outerArea().x); }
float Form::top() const { return pixelsToTwips(native_->outerArea().y); }
float Form::width() const { return pixelsToTwips(native_->outerArea().width); }
float Form::height() const { return pixelsToTwips(native_->outerArea().height); }

void Form::setLeft(float twips) { native_->placeOuter(twipsToPixels(twips), native_->outerArea().y); }
void Form::setTop(float twips) { native_->placeOuter(native_->outerArea().x, twipsToPixels(twips)); }

float Form::scaleWidth() const { return fromPixels(native_->clientArea().width); }
float Form::scaleHeight() const { return fromPixels(native_->clientArea().height); }

void Form::setClientSize(float width, float height) { native_->setClientSize(toPixels(width), toPixels(height)); }

WindowState Form::windowState() const { return windowState_; }

void Form::setWindowState(WindowState state)
{
    windowState_ = state;
    if (!shown_)
        return;
    native_->setWindowState(display());
    if (coversScreenWhenShown())
        startKeepingOnTop();
}

backend::WindowDisplay Form::display() const
{
    switch (windowState_) {
    case WindowState::Maximized:
        return design_.borderStyle == BorderStyle::None ? backend::WindowDisplay::CoverScreen
                                                        : backend::WindowDisplay::Maximized;
    case WindowState::Minimized:
        return backend::WindowDisplay::Minimized;
    case WindowState::Normal:
        break;
    }
    return backend::WindowDisplay::Normal;
}

bool Form::coversScreenWhenShown() const { return display() == backend::WindowDisplay::CoverScreen; }

void Form::startKeepingOnTop()
{
    if (!keepOnTop_) {
        keepOnTop_ = std::make_unique<Timer>(*this);
        keepOnTop_->onTimer = [this] { keepOnTop(); };
    }
    keepOnTopRounds_ = 0;
    // Counted from this show, even while a round of an earlier one waits.
    keepOnTop_->setInterval(0);
    keepOnTop_->setInterval(kKeepOnTopFirstRounds[0]);
}

void Form::keepOnTop()
{
    native_->holdOnTop();
    ++keepOnTopRounds_;
    keepOnTop_->setInterval(keepOnTopRounds_ < std::size(kKeepOnTopFirstRounds)
                                ? kKeepOnTopFirstRounds[keepOnTopRounds_]
                                : kKeepOnTopMs);
}

void Form::coverScreen()
{
    if (design_.borderStyle != BorderStyle::None)
        return;
    native_->coverScreen();
}

// Each monitor, in screen pixels, is moved to the client area's origin and
// cut to the client area; a monitor the client area does not reach is left
// out.
std::vector<backend::MonitorArea> Form::monitorPixels() const
{
    const backend::PixelRect client = native_->clientArea();
    const backend::PixelRect inside { 0, 0, client.width, client.height };
    std::vector<backend::MonitorArea> areas;
    for (const auto& monitor : native_->monitorAreas()) {
        backend::PixelRect area = intersection(
            { monitor.area.x - client.x, monitor.area.y - client.y, monitor.area.width, monitor.area.height }, inside);
        if (area.width > 0)
            areas.push_back({ area, sensibleScale(monitor.scale) });
    }
    if (areas.size() < 2) {
        double scale = design_.scaleMode == ScaleMode::Pixels ? sensibleScale(native_->scale()) : 1;
        return { { inside, areas.empty() ? scale : areas.front().scale } };
    }
    return areas;
}

std::vector<Area> Form::monitors() const
{
    std::vector<backend::MonitorArea> pixels = monitorPixels();
    if (pixels.size() < 2)
        return { { 0, 0, scaleWidth(), scaleHeight() } };
    std::vector<Area> areas;
    for (const auto& [area, scale] : pixels) {
        auto units = [this, scale](int value) {
            return design_.scaleMode == ScaleMode::Pixels ? static_cast<float>(value / scale) : fromPixels(value);
        };
        areas.push_back({ units(area.x), units(area.y), units(area.width), units(area.height) });
    }
    return areas;
}

Area Form::drawOnMonitor(std::size_t index, float pictureWidth, float pictureHeight)
{
    std::vector<backend::MonitorArea> pixels = monitorPixels();
    const auto& [area, monitorScale] = pixels[std::min(index, pixels.size() - 1)];
    placedPicture_ = PlacedPicture { index, pictureWidth, pictureHeight };
    if (design_.scaleMode != ScaleMode::Pixels)
        return { fromPixels(area.x), fromPixels(area.y), fromPixels(area.width), fromPixels(area.height) };

    // A host's window of any size shows the whole picture; a monitor shows
    // it at a scale of 1 at least, so that, as ever, a picture larger than
    // a monitor of 96 dots per inch is shown at its size.
    double scale = monitorScale;
    if (pictureWidth > 0 && pictureHeight > 0) {
        double fit = std::min(area.width / static_cast<double>(pictureWidth),
                              area.height / static_cast<double>(pictureHeight));
        if (!hosted_)
            fit = std::max(fit, std::min(1.0, monitorScale));
        if (fit > 0 && fit < scale)
            scale = fit;
    }
    setScale(scale);
    if (scale == 1)
        return { static_cast<float>(area.x), static_cast<float>(area.y), static_cast<float>(area.width),
                 static_cast<float>(area.height) };
    // A picture placed at the area's far edge is rounded to whole device
    // pixels; above 1 the area gives up the pixels that rounding could add
    // where the picture still fits, so that the picture ends on the
    // monitor's edge at most one device pixel further, as at scale 1.
    double spare = std::max(0.0, scale - 1);
    auto extent = [&](int devicePixels, float picture) {
        double units = devicePixels / scale;
        double less = (devicePixels - spare) / scale;
        return static_cast<float>(less >= picture ? less : units);
    };
    return { static_cast<float>(area.x / scale), static_cast<float>(area.y / scale), extent(area.width, pictureWidth),
             extent(area.height, pictureHeight) };
}

void Form::setScale(double scale)
{
    if (scale == scale_)
        return;
    scale_ = scale;
    for (Control* control : controls_)
        control->rescale();
}

void Form::setOwnerWindow(uint64_t windowId) { native_->setOwner(windowId); }

void Form::hostIn(uint64_t windowId, float pictureWidth, float pictureHeight)
{
    native_->hostIn(windowId);
    hosted_ = true;
    hostArea_ = native_->hostArea();
    drawOnMonitor(0, pictureWidth, pictureHeight);
    if (!hostWatch_) {
        hostWatch_ = std::make_unique<Timer>(*this);
        hostWatch_->onTimer = [this] { watchHost(); };
        hostWatch_->setInterval(kHostWatchMs);
    }
}

void Form::watchHost()
{
    if (!shown_)
        return;
    backend::PixelRect now = native_->hostArea();
    if (now.width <= 0 || now.height <= 0) {
        // The host destroyed its window: the run is over.
        deliverClose();
        return;
    }
    if (now.width != hostArea_.width || now.height != hostArea_.height) {
        hostArea_ = now;
        native_->followHost(now.width, now.height);
        if (placedPicture_)
            drawOnMonitor(placedPicture_->monitor, placedPicture_->width, placedPicture_->height);
        Runtime::current().deliver([this] { Form_Resize(); });
    }
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

void Form::deliverClose()
{
    Runtime::current().deliver([this] { unload(); });
}

// Esc presses the cancel button and Enter the default button, wherever the
// focus is in the form; any other key no control used is the form's.
void Form::nativeKeyDown(int16_t keyCode, int16_t shift)
{
    constexpr int16_t kEnter = 13;
    constexpr int16_t kEscape = 27;
    Control* button = keyCode == kEscape ? cancelButton_ : keyCode == kEnter ? defaultButton_ : nullptr;
    if (button && button->visible() && button->enabled()) {
        button->pressByKey();
        return;
    }
    deliverKeyDown(keyCode, shift);
}

void Form::nativeMouseDown(int16_t button, int16_t shift, int x, int y)
{
    deliverMouseDown(button, shift, fromPixels(x), fromPixels(y));
}

void Form::nativeMouseMove(int16_t button, int16_t shift, int x, int y, int screenX, int screenY)
{
    if (pointerMovedTo(screenX, screenY))
        deliverMouseMove(button, shift, fromPixels(x), fromPixels(y));
}

bool Form::pointerMovedTo(int screenX, int screenY)
{
    if (pointerAt_ && pointerAt_->x == screenX && pointerAt_->y == screenY)
        return false;
    pointerAt_ = backend::PixelRect { screenX, screenY, 0, 0 };
    return true;
}

void Form::nativeCloseRequested() { deliverClose(); }

bool hostSwitchesExist() { return backend::hostSwitchesExist(); }

// A form covering the screen is a screen saver's run, and a screen saver
// ends when the user turns to another program: as the close box does, this
// unloads the form.
void Form::nativeActivationLost()
{
    if (shown_ && !hosted_ && coversScreenWhenShown())
        deliverClose();
}

} // namespace platform
