#include "platform/qt/form_window.h"

#include "platform/command_button.h"
#include "platform/form.h"
#include "platform/qt/control_impl.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>

namespace platform {

FormWindow::FormWindow(Form& form)
    : QWidget(nullptr)
    , form_(form)
{
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled, true);
}

void FormWindow::keyPressEvent(QKeyEvent* event)
{
    auto& impl = form_.formImpl();
    if (event->key() == Qt::Key_Escape && impl.cancelButton && impl.cancelButton->visible()
        && impl.cancelButton->enabled()) {
        impl.cancelButton->click();
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && impl.defaultButton
        && impl.defaultButton->visible() && impl.defaultButton->enabled()) {
        impl.defaultButton->click();
        return;
    }
    form_.deliverKeyDown(keyCodeOf(*event), shiftStateOf(event->modifiers()));
}

void FormWindow::mousePressEvent(QMouseEvent* event)
{
    QPointF at = event->position();
    form_.deliverMouseDown(mouseButtonOf(event->button()), shiftStateOf(event->modifiers()),
                           form_.fromPixels(static_cast<int>(at.x())), form_.fromPixels(static_cast<int>(at.y())));
}

void FormWindow::mouseMoveEvent(QMouseEvent* event)
{
    QPointF at = event->position();
    form_.deliverMouseMove(mouseButtonOf(event->buttons()), shiftStateOf(event->modifiers()),
                           form_.fromPixels(static_cast<int>(at.x())), form_.fromPixels(static_cast<int>(at.y())));
}

void FormWindow::closeEvent(QCloseEvent* event)
{
    // The form decides: its unload handler runs and the window goes with it.
    event->ignore();
    form_.deliverClose();
}

int16_t keyCodeOf(const QKeyEvent& event)
{
    int key = event.key();
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return static_cast<int16_t>(key);
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return static_cast<int16_t>(key);
    switch (key) {
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Space:
        return 32;
    case Qt::Key_Tab:
        return 9;
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Shift:
        return 16;
    case Qt::Key_Control:
        return 17;
    case Qt::Key_Alt:
        return 18;
    case Qt::Key_Left:
        return 37;
    case Qt::Key_Up:
        return 38;
    case Qt::Key_Right:
        return 39;
    case Qt::Key_Down:
        return 40;
    default:
        break;
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return static_cast<int16_t>(112 + (key - Qt::Key_F1));
    return static_cast<int16_t>(event.nativeVirtualKey() & 0x7FFF);
}

int16_t shiftStateOf(Qt::KeyboardModifiers modifiers)
{
    int16_t shift = 0;
    if (modifiers & Qt::ShiftModifier)
        shift |= 1;
    if (modifiers & Qt::ControlModifier)
        shift |= 2;
    if (modifiers & Qt::AltModifier)
        shift |= 4;
    return shift;
}

int16_t mouseButtonOf(Qt::MouseButtons buttons)
{
    int16_t button = 0;
    if (buttons & Qt::LeftButton)
        button |= 1;
    if (buttons & Qt::RightButton)
        button |= 2;
    if (buttons & Qt::MiddleButton)
        button |= 4;
    return button;
}

} // namespace platform
