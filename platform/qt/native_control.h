#pragma once

// The Qt side of a control: a widget standing for one control of the
// platform's rules, which it tells of the user's input through NativeEvents.

#include "platform/backend.h"

#include <QColor>
#include <QFont>
#include <QPointer>
#include <QWidget>

#include <memory>
#include <utility>

namespace platform::qt {

class QtControl : public backend::NativeControl {
public:
    QtControl(QWidget* widget, backend::NativeEvents& events);
    ~QtControl() override;

    QWidget* widget() const { return widget_; }
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

private:
    QPointer<QWidget> widget_;
    backend::NativeEvents& events_;
};

// The native control of each kind, its widget without a parent yet.
std::unique_ptr<QtControl> createLabel(backend::NativeEvents& events);
std::unique_ptr<QtControl> createImage(backend::NativeEvents& events);
std::unique_ptr<QtControl> createPictureBox(backend::NativeEvents& events);
std::unique_ptr<QtControl> createLine(backend::NativeEvents& events);
std::unique_ptr<QtControl> createFrame(backend::NativeEvents& events);
std::unique_ptr<QtControl> createCheckBox(backend::NativeEvents& events);
std::unique_ptr<QtControl> createOptionButton(backend::NativeEvents& events);
std::unique_ptr<QtControl> createCommandButton(backend::NativeEvents& events);
std::unique_ptr<QtControl> createComboBox(backend::NativeEvents& events);
std::unique_ptr<QtControl> createHScrollBar(backend::NativeEvents& events);

// The widget of a form's or a control's native window.
QWidget* widgetOf(const backend::NativeWindow& window);

// The colour of a &H00BBGGRR& value or of a system colour.
QColor colourFromValue(Colour value);
QFont qtFont(const Font& font);

// Key codes, shift states and mouse buttons in the classic form (vbKeyA =
// 65, ...; shift 1 Shift, 2 Ctrl, 4 Alt; button 1 left, 2 right, 4 middle).
int16_t keyCodeOf(const class QKeyEvent& event);
// A classic key code as a Qt key and the text it types.
std::pair<int, QString> qtKeyOf(int16_t keyCode);
int16_t shiftStateOf(Qt::KeyboardModifiers modifiers);
int16_t mouseButtonOf(Qt::MouseButtons buttons);

} // namespace platform::qt
