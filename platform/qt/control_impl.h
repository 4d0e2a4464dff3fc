#pragma once

// Private to the platform: what stands behind the Qt-free control, container
// and form headers.

#include "platform/container.h"
#include "platform/control.h"
#include "platform/form.h"

#include <QColor>
#include <QFont>
#include <QMargins>
#include <QPoint>
#include <QPointer>
#include <QSize>
#include <QWidget>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class QEventLoop;
class QTimer;
class QWindow;

namespace platform {

class OptionButton;
class CommandButton;
class Timer;
class FormWindow;

struct ContainerImpl {
    Form* form = nullptr;
    ScaleMode scaleMode = ScaleMode::Pixels;
    // The widget the container's controls are children of.
    QWidget* host = nullptr;
    // Option buttons placed directly in this container: one exclusive group.
    std::vector<OptionButton*> optionButtons;
};

struct ControlImpl {
    ControlImpl(Container& owner, QWidget* control);
    virtual ~ControlImpl();

    // Turns the Single position and size into device pixels.
    void applyGeometry();
    // Hook for controls whose painting depends on their size.
    virtual void sizeChanged() { }

    Container& container;
    QPointer<QWidget> widget;
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
    bool visible = true;
    int tabIndex = -1;
    std::string toolTip;
};

struct FormImpl {
    FormWindow* window = nullptr;
    FormDesign design;
    std::string caption;
    WindowState windowState = WindowState::Normal;
    std::vector<Control*> controls;
    std::vector<Timer*> timers;
    CommandButton* defaultButton = nullptr;
    CommandButton* cancelButton = nullptr;
    bool shown = false;
    // True while Form_Load runs: the form's timers wait until it has
    // returned, even when it waits itself (a message box).
    bool loading = false;
    // The form covers the whole screen (maximised without a border).
    bool coversScreen = false;
    // While the form covers the screen: raises it again and again, and takes
    // the keyboard and the mouse once the window is up.
    QTimer* keepOnTop = nullptr;
    bool keyboardGrabbed = false;
    bool mouseGrabbed = false;
    // The form drawn in a screen-saver host's window: its X id and size,
    // whether the picture is scaled down into it, the host window as Qt
    // knows it and, when scaled, the view that shows the picture there.
    uint32_t hostWindowId = 0;
    QSize hostSize;
    bool hostScaled = false;
    QWindow* host = nullptr;
    QWidget* hostView = nullptr;
    // Where code placed the window, in pixels, to hold it there when it is
    // shown (a window shown over another is otherwise placed by the system).
    std::optional<QPoint> placedAt;
    // The frame the window manager will add, asked once while the form is
    // not shown yet (its outer size counts it, as on Windows).
    std::optional<QMargins> expectedFrame;
    // The nested event loop of a modal show, while it runs.
    QEventLoop* modalLoop = nullptr;
};

// The colour of a &H00BBGGRR& value or of a system colour.
QColor colourFromValue(Colour value);
QFont qtFont(const Font& font);

} // namespace platform
