#pragma once

// The Win32 backend of the forms runtime: what its forms and controls share.
//
// Every form and control owns one native window. A control's window carries
// a pointer to its Win32Control (a window property), so that the backend
// finds the control of any window it is handed: the window a key went to,
// or the child that sent its parent a notification. Parents hand those
// notifications (WM_COMMAND, WM_NOTIFY, WM_HSCROLL, WM_CTLCOLOR*,
// WM_DRAWITEM) back to the control that sent them through reflectToControl,
// so each kind of control handles its own.
//
// Whoever calls a control's or form's NativeEvents holds a
// backend::DispatchScope while it does. A value, a check or a selection set
// through a native object never comes back as an event.

#include "platform/forms/backend.h"

#include <windows.h>

#include <memory>
#include <string>

namespace platform::win32 {

// A form's or a control's native window.
class Win32Window {
public:
    virtual HWND handle() const = 0;

protected:
    ~Win32Window() = default;
};

// The window of a form or control of this backend.
HWND windowOf(const backend::NativeWindow& window);

// The colour a Colour value stands for (system colours included).
COLORREF colorRefOf(Colour colour);

// The screen's resolution in dots per inch (0 when unknown).
int screenDotsPerInch();
// Device pixels per logical pixel on a monitor: its own resolution where
// Windows tells it (8.1 on), else the system's, over 96 dots per inch.
double monitorScale(HMONITOR monitor);

// The font of a form designer's description at the system's DPI, made once
// and kept for the program's life.
HFONT fontFor(const Font& font);

class Win32Control : public backend::NativeControl, public Win32Window {
public:
    // Makes the control's window: a child of `parent` of the window class
    // `className`, visible, with `style` added to WS_CHILD | WS_CLIPSIBLINGS.
    Win32Control(HWND parent, const wchar_t* className, DWORD style, DWORD exStyle, backend::NativeEvents& events);
    ~Win32Control() override;
    Win32Control(const Win32Control&) = delete;
    Win32Control& operator=(const Win32Control&) = delete;

    HWND handle() const override { return window_; }
    backend::NativeEvents& events() const { return events_; }

    void setGeometry(const backend::PixelRect& rect) override;
    void setVisible(bool visible) override;
    void setEnabled(bool enabled) override;
    void setFont(const Font& font) override;
    void setForeColor(Colour colour) override;
    void setBackColor(Colour colour) override;
    void setToolTip(const std::string& text) override;
    void setFocus(bool byTab) override;
    bool hasFocus() const override;
    void raise() override;
    // The window's text (a caption).
    void setText(const std::string& text) override;

    // A notification the control's window sent to its parent, handed back
    // by the parent's window procedure; true when handled, with `result` the
    // parent's answer. The base answers WM_CTLCOLOR* with the control's
    // colours.
    virtual bool parentMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // A message to the control's own window (or to a child window of it,
    // `window`), seen before the window's procedure; true when handled.
    // The base hands the mouse to the rules.
    virtual bool ownMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // Whether the control's window acts on the key itself (a list's arrows,
    // a button's space bar): a key it does not use goes on to the form.
    virtual bool usesKey(int16_t keyCode) const { (void)keyCode; return false; }

    // The brush of the back colour, once one is set; the base's WM_CTLCOLOR*
    // answer paints with it.
    HBRUSH backBrush() const { return backBrush_; }

protected:
    // For a control that draws itself with draw(), on the screen and into a
    // picture (WM_PRINTCLIENT), over ground it does not erase first: true
    // when `message` was one of those, with `result`.
    bool paintMessage(UINT message, WPARAM wParam, LRESULT& result);
    virtual void draw(HDC dc) { (void)dc; }

    // Routes every message of `window` (the control's or a child of it)
    // through ownMessage; the base does it for the control's own window.
    void watch(HWND window);

private:
    static LRESULT CALLBACK watchedProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                             UINT_PTR id, DWORD_PTR control);

    HWND window_ = nullptr;
    backend::NativeEvents& events_;
    COLORREF foreColour_;
    COLORREF backColour_;
    HBRUSH backBrush_ = nullptr;
};

// The control whose window is `window` or holds it as a child (a combo box's
// edit field), or none.
Win32Control* controlOf(HWND window);

// Gives `window` (a control's, or a part of it that the mouse is over) the
// tool tip `text`, none when empty.
void setToolTipOf(HWND window, const std::string& text);

// Hands a notification that a child window sent to its parent on to the
// child's control; true when the control handled it, with `result`.
bool reflectToControl(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

// The classic key code and shift state of a virtual key as the program's
// handlers receive them (13 Enter, 27 Esc, 65 A; shift 1 Shift, 2 Ctrl,
// 4 Alt), and the mouse buttons of a message's wParam (1 left, 2 right,
// 4 middle).
int16_t keyCodeOf(WPARAM virtualKey);
int16_t shiftState();
int16_t mouseButtonsOf(WPARAM wParam);

// Hands a button press or a move of the mouse over `window` to the rules (a
// DispatchScope held); false for any other message.
bool forwardMouse(HWND window, backend::NativeEvents& events, UINT message, WPARAM wParam, LPARAM lParam);

// One maker per kind of control, each in a file of its own.
std::unique_ptr<Win32Control> createLabel(HWND parent, backend::NativeEvents& events);
std::unique_ptr<Win32Control> createImage(HWND parent, backend::NativeEvents& events);
std::unique_ptr<Win32Control> createPictureBox(HWND parent, backend::NativeEvents& events);
std::unique_ptr<Win32Control> createLine(HWND parent, backend::NativeEvents& events);
std::unique_ptr<Win32Control> createFrame(HWND parent, backend::NativeEvents& events);
std::unique_ptr<Win32Control> createCheckBox(HWND parent, backend::NativeEvents& events);
std::unique_ptr<Win32Control> createOptionButton(HWND parent, backend::NativeEvents& events);
std::unique_ptr<Win32Control> createCommandButton(HWND parent, backend::NativeEvents& events);
std::unique_ptr<Win32Control> createComboBox(HWND parent, backend::NativeEvents& events);
std::unique_ptr<Win32Control> createHScrollBar(HWND parent, backend::NativeEvents& events);

} // namespace platform::win32
