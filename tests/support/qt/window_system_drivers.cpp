// What tests do through Qt's window system: keys pressed on a form, text
// typed into a combo box, and a control's pixels. The events are those the
// keyboard would bring, sent to the widgets as Qt delivers them, so they go
// through the backend's own input handling to the forms runtime's rules.

#include "support/backend_drivers.h"
#include "platform/forms/qt/native_control.h"

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPixmap>
#include <QPointer>

#include <array>
#include <stdexcept>
#include <utility>

namespace platform::backend {

namespace {

// The keys a test presses that are neither a letter nor a digit: the classic
// key code, the Qt key and the text the key types.
struct KeyStroke {
    int16_t keyCode;
    int qtKey;
    const char* text;
};

constexpr std::array kKeyStrokes {
    KeyStroke { 8, Qt::Key_Backspace, "\b" }, KeyStroke { 9, Qt::Key_Tab, "\t" },
    KeyStroke { 13, Qt::Key_Return, "\r" },   KeyStroke { 16, Qt::Key_Shift, "" },
    KeyStroke { 17, Qt::Key_Control, "" },    KeyStroke { 18, Qt::Key_Alt, "" },
    KeyStroke { 27, Qt::Key_Escape, "\x1b" }, KeyStroke { 32, Qt::Key_Space, " " },
    KeyStroke { 33, Qt::Key_PageUp, "" },     KeyStroke { 34, Qt::Key_PageDown, "" },
    KeyStroke { 35, Qt::Key_End, "" },        KeyStroke { 36, Qt::Key_Home, "" },
    KeyStroke { 37, Qt::Key_Left, "" },       KeyStroke { 38, Qt::Key_Up, "" },
    KeyStroke { 39, Qt::Key_Right, "" },      KeyStroke { 40, Qt::Key_Down, "" },
    KeyStroke { 115, Qt::Key_F4, "" },
};

// A classic key code as a Qt key and the text it types (a letter key types
// its small letter, as without Shift).
std::pair<int, QString> qtKeyOf(int16_t keyCode)
{
    if (keyCode >= 'A' && keyCode <= 'Z')
        return { keyCode, QString(QChar(keyCode - 'A' + 'a')) };
    if (keyCode >= '0' && keyCode <= '9')
        return { keyCode, QString(QChar(keyCode)) };
    for (const auto& stroke : kKeyStrokes)
        if (stroke.keyCode == keyCode)
            return { stroke.qtKey, QString::fromLatin1(stroke.text) };
    return { Qt::Key_unknown, {} };
}

} // namespace

// The key goes to the focused widget of the form's window (to the window
// itself when none has the focus), and on from there as Qt propagates it.
void pressKey(NativeForm& form, int16_t keyCode, int16_t shift)
{
    auto [key, text] = qtKeyOf(keyCode);
    Qt::KeyboardModifiers modifiers;
    if (shift & 1)
        modifiers |= Qt::ShiftModifier;
    if (shift & 2)
        modifiers |= Qt::ControlModifier;
    if (shift & 4)
        modifiers |= Qt::AltModifier;
    QWidget* window = qt::widgetOf(form);
    // An open pop-up (a list's drop-down) has the keyboard while it is open.
    QWidget* focus = QApplication::activePopupWidget() ? QApplication::activePopupWidget()->focusWidget()
                                                        : QApplication::focusWidget();
    if (!focus || (focus->window() != window && !QApplication::activePopupWidget()))
        focus = window->focusWidget();
    QPointer<QWidget> target = focus ? focus : window;
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(target, &press);
    if (!target)
        return;
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(target, &release);
}

// Items written since the event loop last ran reach the list's views when
// its posted calls are delivered; the typing finds them there, as the user's
// typing would after the loop had run.
void typeKeys(NativeControl& comboBox, const std::string& text)
{
    auto* combo = qobject_cast<QComboBox*>(qt::widgetOf(comboBox));
    if (!combo || !combo->lineEdit())
        throw std::invalid_argument("typeKeys: the control is not a combo box with an edit field");
    QCoreApplication::sendPostedEvents(combo, QEvent::MetaCall);
    QLineEdit* edit = combo->lineEdit();
    QString keys = QString::fromStdString(text);
    for (qsizetype i = 0; i < keys.size(); ++i) {
        // One key per character; a character outside the basic plane is a
        // surrogate pair and comes as one key.
        qsizetype length = keys.at(i).isHighSurrogate() && i + 1 < keys.size() ? 2 : 1;
        QString character = keys.mid(i, length);
        i += length - 1;
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, character);
        QApplication::sendEvent(edit, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, character);
        QApplication::sendEvent(edit, &release);
    }
}

std::vector<std::vector<uint32_t>> grabPixels(const NativeControl& control)
{
    std::vector<std::vector<uint32_t>> rows;
    QImage image = qt::widgetOf(control)->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const uint32_t*>(image.constScanLine(y));
        rows.emplace_back(line, line + image.width());
    }
    return rows;
}

} // namespace platform::backend
