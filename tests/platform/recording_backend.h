#pragma once

// A backend of the forms runtime that draws nothing: its native objects
// record what the rules asked of them, and tests hand the rules native
// events through it, as a window system would. It shows that the rules need
// nothing of Qt, and what any backend may count on.

#include "platform/forms/backend.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace recording_backend {

using platform::backend::NativeEvents;
using platform::backend::PixelRect;

struct RecordedControl : platform::backend::NativeControl {
    RecordedControl(platform::backend::ControlKind controlKind, NativeEvents& controlEvents)
        : kind(controlKind)
        , events(controlEvents)
    {
    }

    void setGeometry(const PixelRect& rect) override { geometry = rect; }
    void setVisible(bool value) override { visible = value; }
    void setEnabled(bool value) override { enabled = value; }
    void setFont(const platform::Font& value) override { font = value; }
    void setForeColor(platform::Colour) override { }
    void setBackColor(platform::Colour) override { }
    void setToolTip(const std::string& text) override { toolTip = text; }
    void setFocus(bool byTab) override;
    bool hasFocus() const override;
    void raise() override { }
    void setText(const std::string& value) override { caption = value; }
    // Seven pixels a character, twelve a line.
    PixelRect textExtent() const override { return { 0, 0, 7 * static_cast<int>(caption.size()), 12 }; }
    void setChecked(bool value) override { checked = value; }
    void setRange(int low, int high) override { min = low, max = high; }
    void setValue(int newValue) override { value = newValue; }
    void setItem(int32_t row, const std::string& item) override;
    int32_t selectedItem() const override { return selected; }
    void selectItem(int32_t index) override;
    void selectTypedItem(int32_t index) override { selectItem(index); }
    std::string text() const override { return editText; }
    void setEditText(const std::string& value) override;
    bool dropped() const override { return listDropped; }
    void setDropped(bool value) override { listDropped = value, marked = -1; }
    int32_t markedItem() const override { return marked; }
    void markItem(int32_t row) override { marked = row; }

    // The user's input, dispatched as a window system dispatches an event.
    void click();
    void mouseMove(int x, int y, int screenX, int screenY);
    void check(bool value);
    void type(const std::string& keys);
    bool pressKey(int16_t keyCode, int16_t shift = 0);
    void loseFocus();

    platform::backend::ControlKind kind;
    NativeEvents& events;
    PixelRect geometry;
    platform::Font font;
    bool visible = true;
    bool enabled = true;
    std::string toolTip;
    std::string caption;
    bool checked = false;
    int min = 0;
    int max = 0;
    int value = 0;
    std::vector<std::string> items;
    int32_t selected = -1;
    std::string editText;
    // The dropped list: open, and the row marked in it.
    bool listDropped = false;
    int32_t marked = -1;
    // How many times an item write reached the native list.
    int itemWrites = 0;
};

struct RecordedForm : platform::backend::NativeForm {
    explicit RecordedForm(NativeEvents& formEvents)
        : events(formEvents)
    {
    }

    void setFocus(bool) override;
    void setCaption(const std::string& text) override { caption = text; }
    PixelRect clientArea() const override { return client; }
    PixelRect outerArea() override { return client; }
    void setClientSize(int width, int height) override { client.width = width, client.height = height; }
    void placeOuter(int x, int y) override { client.x = x, client.y = y; }
    void show(platform::backend::WindowDisplay, bool isModal) override { shown = true, modal = isModal; }
    void setWindowState(platform::backend::WindowDisplay) override { }
    void hide() override { shown = false; }
    void coverScreen() override { }
    void holdOnTop() override { ++onTopRounds; }
    std::vector<platform::backend::MonitorArea> monitorAreas() const override
    {
        std::vector<platform::backend::MonitorArea> areas;
        for (std::size_t i = 0; i < screenMonitors.size(); ++i)
            areas.push_back({ screenMonitors[i], i < monitorScales.size() ? monitorScales[i] : 1.0 });
        return areas;
    }
    double scale() const override { return windowScale; }
    void hostIn(uint64_t) override { }
    void showInHost() override { shown = true; }
    PixelRect hostArea() const override { return host; }
    void followHost(int width, int height) override { client.width = width, client.height = height, ++hostFollows; }
    void setTabOrder(const std::vector<platform::backend::NativeControl*>& order) override;
    void setInputMethodEnabled(bool enabled) override { inputMethod = enabled; }

    // The user's input.
    void pressKey(int16_t keyCode, int16_t shift = 0);
    void closeBox();
    void mouseMove(int x, int y, int screenX, int screenY);
    // Another program's window became the active one.
    void activationLost();

    NativeEvents& events;
    std::string caption;
    PixelRect client;
    bool shown = false;
    bool modal = false;
    bool inputMethod = true;
    std::vector<RecordedControl*> tabOrder;
    // The rounds that held the window on top.
    int onTopRounds = 0;
    // The screen's monitors, as a window system reports them to a window
    // that covers the screen.
    std::vector<PixelRect> screenMonitors;
    // Each monitor's scale (1 where none is given), and the scale of the
    // monitor the window is on.
    std::vector<double> monitorScales;
    double windowScale = 1;
    // The host's window as the window system reports it (empty: gone), how
    // often the form took a new size of it, and how often it was repainted.
    PixelRect host;
    int hostFollows = 0;
};

// A message drawn in a screen-saver host's window.
struct HostMessage {
    uint64_t window = 0;
    std::string text;
    int milliseconds = 0;
};

// What the application was asked to do since the last reset().
struct Application {
    int mainLoopQuits = 0;
    std::optional<int> exitStatus;
    int windowsHidden = 0;
    std::vector<std::string> messageBoxes;
    std::vector<HostMessage> hostMessages;
    bool pointerHidden = false;
    // The native window that has the focus.
    const platform::backend::NativeWindow* focus = nullptr;
};

Application& application();
void reset();

// A native timer: started at an interval, or stopped (0).
int32_t timerInterval(const platform::Timer& timer);
// Lets `milliseconds` pass on the timers' clock: each running timer ticks
// whenever its interval has gone by.
void advanceTime(int32_t milliseconds);

RecordedControl& recorded(const platform::backend::NativeControl& control);
RecordedForm& recorded(const platform::backend::NativeForm& form);

} // namespace recording_backend
