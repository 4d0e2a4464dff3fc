#pragma once

// A form's top-level window on Win32: a window of the backend's form class
// that hands its keys, mouse and close box to the form's rules, paints its
// background in the design's colour and hands its children's notifications
// back to them.

// (The Win32 headers first: platform/forms/form.h names a type HWND of its own,
// so the window handles here are written ::HWND.)
#include "platform/forms/win32/win32_control.h"
#include "platform/forms/win32/win32_forms.h"

#include "platform/forms/form.h"

#include <optional>
#include <vector>

namespace platform::win32 {

class Win32Form : public backend::NativeForm, public Win32Window {
public:
    Win32Form(const FormDesign& design, backend::NativeEvents& events);
    ~Win32Form() override;
    Win32Form(const Win32Form&) = delete;
    Win32Form& operator=(const Win32Form&) = delete;

    // The form whose window is `window`, or none.
    static Win32Form* of(::HWND window);

    ::HWND handle() const override { return window_; }
    backend::NativeEvents& events() const { return events_; }
    const std::vector<backend::NativeControl*>& tabOrder() const { return tabOrder_; }

    void setFocus(bool byTab) override;
    void setCaption(const std::string& text) override;
    backend::PixelRect clientArea() const override;
    backend::PixelRect outerArea() override;
    void setClientSize(int width, int height) override;
    void placeOuter(int x, int y) override;
    void show(backend::WindowDisplay display, bool modal) override;
    void setWindowState(backend::WindowDisplay display) override;
    void hide() override;
    void coverScreen() override;
    std::vector<backend::MonitorArea> monitorAreas() const override;
    double scale() const override;
    void hostIn(uint64_t windowId) override;
    void showInHost() override;
    backend::PixelRect hostArea() const override;
    void followHost(int width, int height) override;
    void setTabOrder(const std::vector<backend::NativeControl*>& order) override;
    void setInputMethodEnabled(bool enabled) override;
    void setOwner(uint64_t windowId) override;

    // The window procedure of the form class.
    static LRESULT CALLBACK procedure(::HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Takes the whole screen's geometry and keeps the window above others.
    void placeOverScreen();
    // Gives back the windows a modal show disabled.
    void endModality();

    ::HWND window_ = nullptr;
    backend::NativeEvents& events_;
    WindowStyles styles_;
    bool inTaskbar_ = true;
    HBRUSH background_ = nullptr;
    std::vector<backend::NativeControl*> tabOrder_;
    // Where code placed the outer frame, held when the window is shown.
    std::optional<POINT> placedAt_;
    bool shown_ = false;
    bool coversScreen_ = false;
    // The window of another program the form is drawn in (see hostIn).
    ::HWND host_ = nullptr;
    // The windows of the program that a modal show disabled.
    std::vector<::HWND> disabled_;
    // The control that had the focus when the window was last deactivated.
    ::HWND lastFocus_ = nullptr;
    // A window of another program that owns the form, and whether the
    // form's show disabled it.
    ::HWND owner_ = nullptr;
    bool ownerHeld_ = false;
    // The input context detached from the window, to hand back.
    HIMC savedInputContext_ = nullptr;
    bool inputDetached_ = false;
};

} // namespace platform::win32
