#pragma once

#include <QWidget>

namespace platform {

class Form;

// The top-level window of a form: turns Qt's input events into the form's
// events.
class FormWindow : public QWidget {
public:
    explicit FormWindow(Form& form);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    Form& form_;
};

// Key codes and shift states in the classic form (vbKeyA = 65, ...).
int16_t keyCodeOf(const class QKeyEvent& event);
int16_t shiftStateOf(Qt::KeyboardModifiers modifiers);
int16_t mouseButtonOf(Qt::MouseButtons buttons);

} // namespace platform
