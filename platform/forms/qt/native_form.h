#pragma once

// The Qt side of a form: its top-level window, which turns Qt's input
// events into the form's events, and what the window system does around
// it (covering the screen, a screen-saver host's window, the frame).

#include "platform/forms/backend.h"
#include "platform/forms/form.h"

#include <QMargins>
#include <QPoint>
#include <QSize>
#include <QWidget>

#include <optional>

class QWindow;
struct xcb_connection_t;

namespace platform::qt {

class FormWindow : public QWidget {
public:
    explicit FormWindow(backend::NativeEvents& events);

protected:
    // A key that no control used (the rules' key filter sees it first).
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    backend::NativeEvents& events_;
};

class QtForm : public backend::NativeForm {
public:
    QtForm(const FormDesign& design, backend::NativeEvents& events);
    ~QtForm() override;

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
    void holdOnTop() override;
    std::vector<backend::MonitorArea> monitorAreas() const override;
    double scale() const override;
    void hostIn(uint64_t windowId) override;
    void showInHost() override;
    backend::PixelRect hostArea() const override;
    void followHost(int width, int height) override;
    void setTabOrder(const std::vector<backend::NativeControl*>& order) override;
    void setInputMethodEnabled(bool enabled) override;

    FormWindow* window = nullptr;
    backend::NativeEvents& events;
    FormDesign design;
    bool shown = false;
    // The form covers the whole screen (maximised without a border).
    bool coversScreen = false;
    // The keyboard and the mouse taken while the form covers the screen.
    bool keyboardGrabbed = false;
    bool mouseGrabbed = false;
    // The form drawn in a screen-saver host's window: its X id and its size
    // when the form was put into it, and the host window as Qt knows it.
    uint32_t hostWindowId = 0;
    QSize hostSize;
    QWindow* host = nullptr;
    // Where code placed the window, in pixels, to hold it there when it is
    // shown (a window shown over another is otherwise placed by the system).
    std::optional<QPoint> placedAt;
    // The frame the window manager will add, asked once while the form is
    // not shown yet (its outer size counts it, as on Windows).
    std::optional<QMargins> expectedFrame;

private:
    // Shows a borderless maximised form over the whole screen
    // (form_screen.cpp); hide() lets the keyboard and the mouse go.
    void showCoveringScreen();
    void stopCoveringScreen();
    void placeWindow(QPoint outer);
};

// Qt's connection to the X server; none on another window system.
xcb_connection_t* x11Connection();

} // namespace platform::qt
