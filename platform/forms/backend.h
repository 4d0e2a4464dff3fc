#pragma once

// The seam between the forms runtime's toolkit-neutral rules (platform/*.cpp)
// and a toolkit backend (platform/forms/qt/ on Qt Widgets): what a backend
// implements, and the entry points through which it hands the user's input
// to the rules.
//
// A backend creates one native object per form, control and timer. A native
// object holds the native window and nothing the program can ask for: the
// rules keep every value (positions in scale units, captions, values, items,
// the selected option) and tell the native object what to show. Native
// events go the other way, into the NativeEvents of the form or control, and
// from there through the runtime's error boundary into the program's
// handlers. Sizes and positions at this seam are device pixels: the rules
// turn their units into them, at the scale of the monitor a picture is
// drawn on (Form::drawOnMonitor), and a backend does no scaling of its own.

#include "platform/forms/colour.h"
#include "platform/forms/font.h"
#include "platform/forms/pixel_picture.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {

struct FormDesign;
struct MessageBoxRequest;
class Timer;
enum class Alignment;

} // namespace platform

namespace platform::backend {

// How a form's window is shown. The forms' rules decide it from the form's
// WindowState and border (Form::display): a form without a border shown
// maximised covers the whole screen (every monitor), panels and task bars
// included; any other form is shown as its state says.
enum class WindowDisplay { Normal, Minimized, Maximized, CoverScreen };

struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// A monitor: its rectangle in the screen's device pixels and its scale, the
// device pixels of one logical pixel (1 at 96 dots per inch, 2 at 192).
struct MonitorArea {
    PixelRect area;
    double scale = 1;
};

// What the user did to a native form or control. Implemented by the rules
// (every Form and Control); a backend calls these from its event handling.
// Positions are pixels of the receiving window's client area.
class NativeEvents {
public:
    // A button was pressed.
    virtual void nativeClicked() { }
    // The user changed the value: a check box (0 or 1), an option button
    // selected (1), a scroll bar (its new value).
    virtual void nativeValueChanged(int value) { (void)value; }
    // The edit field holds a new text, whoever changed it.
    virtual void nativeTextChanged(const std::string& text) { (void)text; }
    // The user typed into the edit field (after nativeTextChanged).
    virtual void nativeTextEdited() { }
    // A key pressed on the focused control; true when the control used it,
    // else it goes on to the control's container and to the form.
    virtual bool nativeKeyPressed(int16_t keyCode, int16_t shift) { (void)keyCode, (void)shift; return false; }
    // The control lost the focus to another control of the program.
    virtual void nativeFocusLost() { }
    virtual void nativeMouseDown(int16_t button, int16_t shift, int x, int y) { (void)button, (void)shift, (void)x, (void)y; }
    // The pointer over the window, at (x, y) of its client area and at
    // (screenX, screenY) of the screen.
    virtual void nativeMouseMove(int16_t button, int16_t shift, int x, int y, int screenX, int screenY)
    {
        (void)button, (void)shift, (void)x, (void)y, (void)screenX, (void)screenY;
    }
    // A key that no control of the form used (classic key codes: 13 Enter,
    // 27 Esc, 65 A, ...; shift 1 Shift, 2 Ctrl, 4 Alt).
    virtual void nativeKeyDown(int16_t keyCode, int16_t shift) { (void)keyCode, (void)shift; }
    // The close box, or the end of the window a form is shown in.
    virtual void nativeCloseRequested() { }
    // A window of another program became the active window: the program
    // lost the keyboard to it (Windows tells every top-level window of the
    // program). Where a form covering the screen holds the keyboard until it
    // ends (X11), no other program's window can become active, and nothing
    // reports this.
    virtual void nativeActivationLost() { }

protected:
    ~NativeEvents() = default;
};

// A native window: a form's or a control's.
class NativeWindow {
public:
    virtual ~NativeWindow() = default;
    // byTab: the focus comes as from the Tab key (an edit field selects its
    // text), else as set by code.
    virtual void setFocus(bool byTab) = 0;
};

enum class ControlKind { Label, Image, PictureBox, Line, Frame, CheckBox, OptionButton, CommandButton, ComboBox, HScrollBar };

// What a picture the program was built without shows in its place (a build
// without the map): an area of the map's size, filled with sea blue.
inline constexpr int kMissingPictureWidth = 740;
inline constexpr int kMissingPictureHeight = 370;
inline constexpr Colour kMissingPictureColour = 0x00C8AF96;

// The rows a combo box's dropped list (and the list of its matches while
// the user types) shows at most; more scroll.
inline constexpr int kDropDownRows = 16;

// Whether a control of this kind takes the keyboard's focus (by Tab, by a
// click, by code).
inline bool takesFocus(ControlKind kind)
{
    switch (kind) {
    case ControlKind::CheckBox:
    case ControlKind::OptionButton:
    case ControlKind::CommandButton:
    case ControlKind::ComboBox:
    case ControlKind::HScrollBar:
        return true;
    default:
        return false;
    }
}

// A control's native window. Operations that a kind of control does not have
// are never called for it.
class NativeControl : public NativeWindow {
public:
    virtual void setGeometry(const PixelRect& rect) = 0;
    virtual void setVisible(bool visible) = 0;
    virtual void setEnabled(bool enabled) = 0;
    virtual void setFont(const Font& font) = 0;
    virtual void setForeColor(Colour colour) = 0;
    virtual void setBackColor(Colour colour) = 0;
    virtual void setToolTip(const std::string& text) = 0;
    virtual bool hasFocus() const = 0;
    virtual void raise() = 0;

    // Caption of a label, frame, check box, option or command button.
    virtual void setText(const std::string& text) { (void)text; }
    // Label: the caption's size in pixels in the label's font.
    virtual PixelRect textExtent() const { return {}; }
    virtual void setAlignment(Alignment alignment) { (void)alignment; }
    virtual void setWordWrap(bool wrap) { (void)wrap; }
    // Check box and option button, without raising an event.
    virtual void setChecked(bool checked) { (void)checked; }
    // Command button: drawn as the default button.
    virtual void setDefault(bool isDefault) { (void)isDefault; }
    // Scroll bar, without raising an event.
    virtual void setRange(int min, int max) { (void)min, (void)max; }
    virtual void setValue(int value) { (void)value; }
    virtual void setSteps(int small, int large) { (void)small, (void)large; }
    // Image and picture box: show a picture compiled into the program (or
    // the program's icon); returns its size in the picture's own pixels,
    // which are logical pixels. The picture fills the control's geometry in
    // device pixels: where that is larger than the picture, a finer copy of
    // it compiled in as well ("map-2x" for "map") is drawn in its place, so
    // that it stays sharp. A picture the program was built without shows as
    // the missing picture below.
    virtual PixelRect setPicture(const std::string& resourceName) { (void)resourceName; return {}; }
    virtual PixelRect setProgramIcon() { return {}; }
    // Image: the pixels of the picture setPicture showed, of the copy that
    // fills the control's geometry now (whatever setPicturePixels showed
    // since), and other pixels shown in its place, filling the geometry.
    virtual PixelPicture picturePixels() const { return {}; }
    virtual void setPicturePixels(const PixelPicture& picture) { (void)picture; }
    // Line: its colour and pen width.
    virtual void setLineStyle(Colour colour, int penWidth) { (void)colour, (void)penWidth; }

    // Combo box. Item `row` gets `text` (row == the count so far appends).
    virtual void setItem(int32_t row, const std::string& text) { (void)row, (void)text; }
    // The item shown as selected, -1 for none.
    virtual int32_t selectedItem() const { return -1; }
    // Selects item `index` (-1 none), as code does / as the typed text does
    // (the edit field's cursor stays where it is).
    virtual void selectItem(int32_t index) { (void)index; }
    virtual void selectTypedItem(int32_t index) { (void)index; }
    // The edit field's text.
    virtual std::string text() const { return {}; }
    virtual void setEditText(const std::string& text) { (void)text; }
    // The list dropped below the field: whether it is open, opening or
    // closing it (closing chooses nothing: the rules select what the user
    // chose), and the row marked in it (-1 none; marking a row scrolls it
    // into view and chooses nothing either). The keys pressed while the list
    // is open come to the control's nativeKeyPressed first, as any other.
    virtual bool dropped() const { return false; }
    virtual void setDropped(bool dropped) { (void)dropped; }
    virtual int32_t markedItem() const { return -1; }
    virtual void markItem(int32_t row) { (void)row; }
};

// A form's top-level window.
class NativeForm : public NativeWindow {
public:
    virtual void setCaption(const std::string& text) = 0;
    // The client area's size and the outer rectangle (frame included), in
    // pixels; the outer position is where code placed the window until it
    // is on the screen.
    virtual PixelRect clientArea() const = 0;
    virtual PixelRect outerArea() = 0;
    virtual void setClientSize(int width, int height) = 0;
    // Puts the window's frame at (x, y) and holds it there when it is shown.
    virtual void placeOuter(int x, int y) = 0;
    // Shows the window as `display` says, modal when asked, in front and
    // active.
    virtual void show(WindowDisplay display, bool modal) = 0;
    virtual void setWindowState(WindowDisplay display) = 0;
    // Hides the window, ends its modality and gives back what covering the
    // screen took (the keyboard, the mouse).
    virtual void hide() = 0;
    // Gives the window the whole screen's geometry (every monitor).
    virtual void coverScreen() = 0;
    // One round of keeping the window that covers the screen on top, where
    // the window system needs it done again and again (X11, with or without
    // a window manager): raise it, and take the keyboard and the mouse until
    // that succeeds. Nothing to do where a window stays on top by itself.
    virtual void holdOnTop() { }
    // Each monitor of the screen, in screen pixels, while the window covers
    // the screen; none when it does not.
    virtual std::vector<MonitorArea> monitorAreas() const = 0;
    // The scale of the monitor the window is on (of the host's window for a
    // hosted form), device pixels per logical pixel.
    virtual double scale() const = 0;
    // Makes the form a picture in a screen-saver host's window (see
    // Form::hostIn), filling it; a window that does not exist is a run-time
    // error.
    virtual void hostIn(uint64_t windowId) = 0;
    virtual void showInHost() = 0;
    // The size of the host's window now, in pixels; empty once the window
    // is gone.
    virtual PixelRect hostArea() const = 0;
    // The host's window has a new size: the form takes it.
    virtual void followHost(int width, int height) = 0;
    // The order in which Tab moves through the form's controls; the window
    // itself takes the keyboard only when the order is empty.
    virtual void setTabOrder(const std::vector<NativeControl*>& order) = 0;
    // Attaches the input method to the window or detaches it.
    virtual void setInputMethodEnabled(bool enabled) = 0;
    // A window of another program that owns the form (the screen-saver
    // settings of Windows, which start the settings dialog with their
    // window's number): the form stays in front of it, and the window takes
    // no input while the form is shown. A number that names no window is
    // ignored, and so is the whole request where no program starts another
    // that way.
    virtual void setOwner(uint64_t windowId) { (void)windowId; }
};

// A form's window as the program's code names it (Form::hWnd): the native
// window itself, as a window handle is on Windows.
using WindowHandle = NativeForm*;

// A timer: calls Timer::tick every `milliseconds` while started.
class NativeTimer {
public:
    virtual ~NativeTimer() = default;
    virtual void start(int32_t milliseconds) = 0;
    virtual void stop() = 0;
};

// A nested event loop (a modal form).
class NativeEventLoop {
public:
    virtual ~NativeEventLoop() = default;
    virtual void run() = 0;
    virtual void quit() = 0;
};

// Held by the backend while it dispatches one window-system event; the
// runtime tells by it a handler raised by the program's own code from one
// raised by a new event (platform/forms/runtime.cpp).
class DispatchScope {
public:
    DispatchScope();
    ~DispatchScope();
    DispatchScope(const DispatchScope&) = delete;
    DispatchScope& operator=(const DispatchScope&) = delete;
};

// --- Factories --------------------------------------------------------------

// `clientAt` is where the client area opens, none letting the window system
// choose; the window starts hidden.
std::unique_ptr<NativeForm> createForm(const FormDesign& design, int clientWidth, int clientHeight,
                                       std::optional<PixelRect> clientAt, NativeEvents& events);
std::unique_ptr<NativeControl> createControl(ControlKind kind, NativeWindow& parent, NativeEvents& events);
std::unique_ptr<NativeTimer> createTimer(Timer& timer);
std::unique_ptr<NativeEventLoop> createEventLoop();

// --- The application --------------------------------------------------------

// Thrown by startApplication when the toolkit needs a display that cannot
// be opened: `display` names the one it tried, empty when none is set.
struct DisplayUnavailable {
    std::string display;
};

// Starts the toolkit with main's arguments; it may take its own options out
// of them (Qt: -platform, -display, -style, ...), as the toolkit does, and
// leaves the rest, from the program's name on, for the program. Throws
// DisplayUnavailable where the toolkit would otherwise end the process
// itself for want of a display.
void startApplication(int& argc, char** argv);
void stopApplication();
// Runs the main event loop until quitEventLoop or exitEventLoops.
void runEventLoop();
// Ends the main event loop (no form is loaded any more).
void quitEventLoop();
// Ends every event loop, the nested ones included, and those started before
// clearEndedEventLoops.
void exitEventLoops(int status);
void clearEndedEventLoops();
// Hides every window of the program, so that a run-time error's report is
// shown alone: the forms (a hosted form's picture too), and what no form
// owns, a message box still open, a list's open drop-down, a tool tip.
void hideAllWindows();
// Shows an application-modal message box and returns when it is closed.
void showMessageBox(const MessageBoxRequest& request);
// Draws `text` in white on black over the whole of a screen-saver host's
// window (0: the screen's root window), taking no input, and returns after
// `milliseconds`, or as soon as the process is asked to end (SIGTERM,
// SIGINT). Returns at once, having drawn nothing, where the id names no
// window (none, or a pixmap) or the window system has no such windows.
void showMessageInHost(uint64_t windowId, const std::string& text, int milliseconds);
// Delivers the events that are waiting, painting included.
void processPendingEvents();

// The screen's logical resolution (0 when unknown; the points of a font are
// of this inch) and the primary monitor's size in pixels.
double dotsPerInch();
PixelRect screenArea();
// The primary monitor's scale, device pixels per logical pixel.
double screenScale();

// Hides the mouse pointer over every window of the program, or shows it
// again.
void setPointerHidden(bool hidden);

// Whether this window system's screen-saver hosts hand the program their
// window through the switches -root and -window-id and the variable
// XSCREENSAVER_WINDOW (X11's hosts do; Windows' name theirs after "/p").
bool hostSwitchesExist();

} // namespace platform::backend
