// Qt's keys, modifiers and mouse buttons in the classic form the program's
// handlers receive.

#include "platform/forms/qt/native_control.h"

#include <QKeyEvent>

#include <array>

namespace platform::qt {

namespace {

struct KeyName {
    int16_t keyCode;
    int qtKey;
};

constexpr std::array kKeys {
    KeyName { 8, Qt::Key_Backspace }, KeyName { 9, Qt::Key_Tab },
    KeyName { 13, Qt::Key_Return },   KeyName { 13, Qt::Key_Enter },
    KeyName { 16, Qt::Key_Shift },    KeyName { 17, Qt::Key_Control },
    KeyName { 18, Qt::Key_Alt },      KeyName { 27, Qt::Key_Escape },
    KeyName { 32, Qt::Key_Space },    KeyName { 33, Qt::Key_PageUp },
    KeyName { 34, Qt::Key_PageDown }, KeyName { 35, Qt::Key_End },
    KeyName { 36, Qt::Key_Home },     KeyName { 37, Qt::Key_Left },
    KeyName { 38, Qt::Key_Up },       KeyName { 39, Qt::Key_Right },
    KeyName { 40, Qt::Key_Down },
};

} // namespace

int16_t keyCodeOf(const QKeyEvent& event)
{
    int key = event.key();
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        return static_cast<int16_t>(key);
    for (const auto& name : kKeys)
        if (name.qtKey == key)
            return name.keyCode;
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

} // namespace platform::qt
