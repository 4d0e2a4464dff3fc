#pragma once

// A form: a top-level window with its controls and its events. A form is
// created with its design values, loaded (Form_Load runs), shown modeless or
// modal, and unloaded (Form_Unload runs, the window goes). The program ends
// when no form is left loaded.

#include "platform/colour.h"
#include "platform/container.h"

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

struct FormImpl;
using HWND = Form*;

// A rectangle of a form's client area, in the form's scale units from its
// top-left corner.
struct Area {
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
};


class Form : public Container {
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
    // The monitors the form's client area shows, one area each. A form that
    // does not cover a screen of several monitors has one area: its whole
    // client area.
    std::vector<Area> monitors() const;

    // Makes the form a picture inside a window that a screen-saver host
    // gives the program, by its X window id (0: the screen's root window).
    // ScaleWidth and ScaleHeight report that window's size; a window smaller
    // than pictureWidth x pictureHeight (in scale units) gets the picture
    // at that size, scaled down to fit and centred. Once shown, the form
    // takes no input, follows the window's size, and unloads when the window
    // is destroyed or the process receives SIGTERM or SIGINT. A window that
    // does not exist, or a display that is not X11, is a run-time error.
    void hostIn(uint64_t windowId, float pictureWidth, float pictureHeight);

    HWND hWnd() { return this; }
    FormImpl& formImpl() const;

    // Event delivery from the runtime.
    void deliverKeyDown(int16_t keyCode, int16_t shift);
    void deliverMouseDown(int16_t button, int16_t shift, float x, float y);
    void deliverMouseMove(int16_t button, int16_t shift, float x, float y);
    // The close box: unloads the form.
    void deliverClose();

    // Tests: a key (classic key code: 13 Enter, 27 Esc, 9 Tab, 32 Space, 33
    // Page Up, 34 Page Down, 35 End, 36 Home, 37 to 40 the arrows, the
    // letters and digits) pressed and released on the form, as the keyboard
    // would: it goes to the control that has the focus (to the form itself
    // when none has), and what that control does not use goes on to its
    // container and to the form.
    void pressKeyForTesting(int16_t keyCode);

protected:
    virtual void Form_Load() { }
    virtual void Form_Unload(int16_t& cancel) { (void)cancel; }
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
    void finishUnload();

    std::unique_ptr<FormImpl> formImpl_;
    bool loaded_ = false;
};

} // namespace platform
