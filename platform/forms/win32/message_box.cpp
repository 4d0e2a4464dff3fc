// The message box: MessageBoxW with a single OK button, modal to every
// window of the program.

#include "platform/forms/win32/win32_forms.h"

#include "platform/system/win32/wide_text.h"

namespace platform::win32 {

UINT messageBoxFlags(MessageBoxIcon icon)
{
    UINT flags = MB_OK | MB_TASKMODAL | MB_SETFOREGROUND;
    switch (icon) {
    case MessageBoxIcon::Critical:
        return flags | MB_ICONERROR;
    case MessageBoxIcon::Exclamation:
        return flags | MB_ICONWARNING;
    case MessageBoxIcon::Information:
        return flags | MB_ICONINFORMATION;
    case MessageBoxIcon::None:
        break;
    }
    return flags;
}

} // namespace platform::win32

namespace platform::backend {

void showMessageBox(const MessageBoxRequest& request)
{
    // After the end of every loop, a box that would wait for the user ends
    // at once.
    if (win32::eventLoopsEnded())
        return;
    MessageBoxW(nullptr, win32::widen(request.text).c_str(), win32::widen(request.title).c_str(),
                win32::messageBoxFlags(request.icon));
}

// Windows gives a screen saver no window of a host to draw a message in.
void showMessageInHost(uint64_t, const std::string&, int) { }

} // namespace platform::backend
