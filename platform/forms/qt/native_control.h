#pragma once

// The Qt side of a control: a widget standing for one control of the
// platform's rules, which it tells of the user's input through NativeEvents.

#include "platform/forms/backend.h"

#include <QColor>
#include <QFont>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <memory>

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

    // Label, image, frame and buttons.
    void setText(const std::string& text) override;
    backend::PixelRect textExtent() const override;
    void setAlignment(Alignment alignment) override;
    void setWordWrap(bool wrap) override;
    void setChecked(bool checked) override;
    void setDefault(bool isDefault) override;
    backend::PixelRect setPicture(const std::string& resourceName) override;
    backend::PixelRect setProgramIcon() override;
    PixelPicture picturePixels() const override;
    void setPicturePixels(const PixelPicture& picture) override;
    void setLineStyle(Colour colour, int penWidth) override;

private:
    void showPictureCopy();

    QPointer<QWidget> widget_;
    backend::NativeEvents& events_;
    // The compiled-in picture of setPicture (empty when none), whether it is
    // shown (not other pixels in its place) and the width of its copy shown
    // now, and whether the program's icon is shown.
    QString pictureName_;
    bool showsOwnPicture_ = false;
    int pictureCopyWidth_ = 0;
    bool showsIcon_ = false;
};

// The widget of each kind of control but the list and the scroll bar,
// without a parent yet, its input connected to the rules.
QWidget* createWidget(backend::ControlKind kind, backend::NativeEvents& events);
std::unique_ptr<QtControl> createComboBox(backend::NativeEvents& events);
std::unique_ptr<QtControl> createHScrollBar(backend::NativeEvents& events);

// The widgets that draw themselves (painted_widgets.cpp): a frame and a line.
QWidget* createFrameWidget();
QWidget* createLineWidget();
void styleLine(QWidget& line, const QColor& colour, int penWidth);

// Hands the keys and the mouse of a form's or a control's widget to the
// rules.
void forwardInput(QWidget& widget, backend::NativeEvents& events);

// The widget of a form's or a control's native window.
QWidget* widgetOf(const backend::NativeWindow& window);

// The colour of a &H00BBGGRR& value or of a system colour.
QColor colourFromValue(Colour value);
QFont qtFont(const Font& font);

// Key codes, shift states and mouse buttons in the classic form (vbKeyA =
// 65, ...; shift 1 Shift, 2 Ctrl, 4 Alt; button 1 left, 2 right, 4 middle).
int16_t keyCodeOf(const class QKeyEvent& event);
int16_t shiftStateOf(Qt::KeyboardModifiers modifiers);
int16_t mouseButtonOf(Qt::MouseButtons buttons);

} // namespace platform::qt
