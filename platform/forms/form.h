#pragma once

// A form: a top-level window with its controls and its events. A form is
// created with its design values, loaded (Form_Load runs), shown modeless or
// modal, and unloaded (Form_Unload runs, the window goes). The program ends
// when no form is left loaded.

#include "platform/forms/backend.h"
#include "platform/forms/colour.h"
#include "platform/forms/container.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {

enum class BorderStyle { None = 0, FixedSingle = 1, Sizable = 2, FixedDialog = 3 };
enum class WindowState { Normal = 0, Minimized = 1, Maximized = 2 };
enum class ShowMode { Modeless = 0, Modal = 1 };

struct FormDesign {
    std::string caption;
    BorderStyle borderStyle = BorderStyle::Sizable;
    ScaleMode scaleMode = ScaleMode::Twips;
    // Client area in the form's scale units.
    float clientWidth = 0;
    float clientHeight = 0;
    // Where the client area opens, in twips from the top-left corner of the
    // screen, for a form that code does not place; none lets the window
    // system choose.
    std::optional<float> clientLeft {};
    std::optional<float> clientTop {};
    Colour backColor = kButtonFace;
    bool maxButton = true;
    bool minButton = true;
    bool showInTaskbar = true;
};

class Control;
class Timer;

// A rectangle of a form's client area, in the form's scale units from its
// top-left corner.
struct Area {
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
};


class Form : public Container, private backend::NativeEvents {
public:
    explicit Form(const FormDesign& design);
    ~Form() override;

    // Runs Form_Load inside the runtime's error boundary; does nothing when
    // the form is already loaded.
    void load();
    // Loads the form if needed and shows it. Modal returns once the form has
    // been unloaded; meanwhile the other forms take no input.
    void show(ShowMode mode = ShowMode::Modeless);
    // Runs Form_Unload; unless it sets cancel, hides the window and marks the
    // form unloaded.
    void unload();
    bool loaded() const;
    bool shown() const;

    const std::string& caption() const;
    void setCaption(const std::string& text);

    // Outer position and size, in twips, whatever the scale mode.
    float left() const;
    float top() const;
    float width() const;
    float height() const;
    void setLeft(float twips);
    void setTop(float twips);

    // The client area in the form's scale units.
    float scaleWidth() const;
    float scaleHeight() const;
    void setClientSize(float width, float height);

    WindowState windowState() const;
    // Maximised on a form without a border covers the whole screen (every
    // monitor), panels and task bars included, with or without a window
    // manager: it stays above every other window and takes the keyboard and
    // the mouse wherever they are.
    void setWindowState(WindowState state);
    // Gives a form without a border the size of the whole screen already
    // before it is maximised and shown, so that ScaleWidth and ScaleHeight
    // report the size it will have.
    void coverScreen();
    // The monitors the form's client area shows, one area each, each in
    // pixels of its own monitor's scale. A form that does not cover a screen
    // of several monitors has one area: its whole client area.
    std::vector<Area> monitors() const;
    // Where the form's picture of pictureWidth x pictureHeight pixels is
    // drawn: on monitor `index` of monitors() (the last where there are
    // fewer). From now on the form's pixels are drawn at that monitor's
    // scale, or at a smaller one where the picture would not fit (a small
    // host's window, a small monitor at a large scale): the picture is
    // scaled down to fit. Every control is drawn anew at the new scale.
    // Returns the monitor's area at that scale; a picture placed within it
    // lies wholly on the monitor.
    Area drawOnMonitor(std::size_t index, float pictureWidth, float pictureHeight);
    // Device pixels of one of the form's pixels (ScaleMode Pixels); 1 for a
    // form in twips, whose twips follow the screen's resolution.
    double pixelScale() const { return scale_; }

    // Makes the form a picture inside a window that a screen-saver host
    // gives the program, by its X window id (0: the screen's root window).
    // ScaleWidth and ScaleHeight report that window's size at the form's
    // scale; a window smaller than pictureWidth x pictureHeight (in scale
    // units) gets the picture scaled down to fit (see drawOnMonitor). Once
    // shown, the form takes no input, follows the window's size (Form_Resize
    // then runs), and unloads when the window
    // is destroyed or the process receives SIGTERM or SIGINT. A window that
    // does not exist, or a display that is not X11, is a run-time error.
    void hostIn(uint64_t windowId, float pictureWidth, float pictureHeight);

    // A window of another program that owns the form, by its number (on
    // Windows the screen-saver settings' window, named by "/C:HWND"): the
    // form stays in front of it and the window waits while the form is
    // shown. Ignored where no window has that number.
    void setOwnerWindow(uint64_t windowId);

    backend::WindowHandle hWnd() const { return native_.get(); }
    // The form's native window (the backend's object).
    backend::NativeForm& native() const { return *native_; }

    // The form's events as the user makes them (in scale units), through the
    // error boundary to the handlers: the native window's input comes this
    // way, and so can a test's.
    void deliverKeyDown(int16_t keyCode, int16_t shift);
    void deliverMouseDown(int16_t button, int16_t shift, float x, float y);
    void deliverMouseMove(int16_t button, int16_t shift, float x, float y);
    // The close box: unloads the form.
    void deliverClose();

protected:
    virtual void Form_Load() { }
    virtual void Form_Unload(int16_t& cancel) { (void)cancel; }
    // The client area has a new size (a host's window resized).
    virtual void Form_Resize() { }
    virtual void Form_KeyDown(int16_t keyCode, int16_t shift)
    {
        (void)keyCode;
        (void)shift;
    }
    virtual void Form_MouseDown(int16_t button, int16_t shift, float x, float y)
    {
        (void)button, (void)shift, (void)x, (void)y;
    }
    virtual void Form_MouseMove(int16_t button, int16_t shift, float x, float y)
    {
        (void)button, (void)shift, (void)x, (void)y;
    }

private:
    friend class Control;
    friend class CommandButton;
    friend class Timer;
    friend class Image;

    void finishUnload();
    void startTimers();
    // Draws the form's pixels at `scale` from now on: every control anew.
    void setScale(double scale);
    // Each monitor the client area shows, in device pixels from the client
    // area's corner; one for the whole client area where it shows fewer
    // than two.
    std::vector<backend::MonitorArea> monitorPixels() const;
    // One look at the host's window of a hosted form (see hostIn): gone,
    // the form unloads; resized, the form follows it.
    void watchHost();
    // How the window is shown in the form's state: a borderless form shown
    // maximised covers the screen, and from then on its window is held on
    // top, round after round.
    backend::WindowDisplay display() const;
    bool coversScreenWhenShown() const;
    void startKeepingOnTop();
    void keepOnTop();
    // The focusable controls in tab order.
    std::vector<Control*> tabOrder() const;

    // What the window system tells the form.
    void nativeKeyDown(int16_t keyCode, int16_t shift) override;
    void nativeMouseDown(int16_t button, int16_t shift, int x, int y) override;
    void nativeMouseMove(int16_t button, int16_t shift, int x, int y, int screenX, int screenY) override;
    void nativeCloseRequested() override;
    void nativeActivationLost() override;
    // Whether a mouse-move event of the form or of one of its controls at
    // this screen position moved the pointer: windows that appear, disappear
    // or move under a pointer at rest bring mouse-move events too (Windows
    // sends them), and those are not moves.
    bool pointerMovedTo(int screenX, int screenY);

    FormDesign design_;
    std::string caption_;
    std::unique_ptr<backend::NativeForm> native_;
    WindowState windowState_ = WindowState::Normal;
    std::vector<Control*> controls_;
    std::vector<Timer*> timers_;
    Control* defaultButton_ = nullptr;
    Control* cancelButton_ = nullptr;
    bool loaded_ = false;
    bool shown_ = false;
    // True while Form_Load runs: the form's timers wait until it has
    // returned, even when it waits itself (a message box).
    bool loading_ = false;
    bool hosted_ = false;
    // Device pixels of one pixel (ScaleMode Pixels), and the picture that
    // drawOnMonitor placed last (its monitor, its size), fitted again when a
    // host's window changes its size.
    double scale_ = 1;
    struct PlacedPicture {
        std::size_t monitor = 0;
        float width = 0;
        float height = 0;
    };
    std::optional<PlacedPicture> placedPicture_;
    // A hosted form's look at its host's window, and the window's size as
    // last seen, in pixels.
    std::unique_ptr<Timer> hostWatch_;
    backend::PixelRect hostArea_;
    // The rounds that keep a form covering the screen on top, and how many
    // have come since it was shown.
    std::unique_ptr<Timer> keepOnTop_;
    std::size_t keepOnTopRounds_ = 0;
    // The nested event loop of a modal show, while it runs.
    backend::NativeEventLoop* modalLoop_ = nullptr;
    // Where the pointer was at the last mouse-move event of the form or its
    // controls, in screen pixels.
    std::optional<backend::PixelRect> pointerAt_;
};

// Whether the screen-saver hosts of the window system the program runs on
// give it their window through the switches -root and -window-id and the
// variable XSCREENSAVER_WINDOW (see Form::hostIn), as X11's do. Where they do
// not (Windows), those are no switches of the program's.
bool hostSwitchesExist();

} // namespace platform
