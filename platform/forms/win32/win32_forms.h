#pragma once

// The Win32 backend's application side: its window classes, its event loops
// and the key handling they share, and the pieces of arithmetic and text
// handling that its tests check on their own.

#include "platform/forms/backend.h"
#include "platform/runtime/message_box.h"

#include <windows.h>

#include <string>

namespace platform {
struct FormDesign;
}

namespace platform::win32 {

// The window class of every form.
constexpr wchar_t kFormClass[] = L"Zandreth.Form";
// HWND_TOPMOST and HWND_MESSAGE, spelled so that they mean the window
// system's handles where platform/forms/form.h's HWND (a form) is in scope.
inline ::HWND const kTopmost = reinterpret_cast<::HWND>(static_cast<intptr_t>(-1));
inline ::HWND const kMessageOnly = reinterpret_cast<::HWND>(static_cast<intptr_t>(-3));

// The id of the program's icon among its resources.
constexpr int kProgramIconId = 1;

// A hidden message-only window of the application: timers tick on it and
// the event loops are woken through it.
::HWND messageWindow();

// Routes a message taken from the queue as the program's loops do: a key to
// a control goes to its rules first, then Tab moves through the form's tab
// order, and a key the control does not use goes to the form. Returns when
// the message has been delivered.
void deliverMessage(const MSG& message);

// exitEventLoops has ended every loop and no loop has been cleared since:
// a loop (a message box) started now ends at once.
bool eventLoopsEnded();

// The window styles of a form of `design`: the frame, the caption's boxes.
struct WindowStyles {
    DWORD style = 0;
    DWORD exStyle = 0;
};
WindowStyles windowStylesFor(const FormDesign& design);

// The outer rectangle (frame included) of a window of `styles` whose client
// area is `client`.
backend::PixelRect outerRectFor(const WindowStyles& styles, const backend::PixelRect& client);

// The MessageBoxW flags of a message box request: a single OK button, the
// request's icon, modal to every window of the program, in front.
UINT messageBoxFlags(MessageBoxIcon icon);

// The face drawn for a font name: the name when it is installed, else an
// installed Japanese Gothic face.
std::wstring installedFace(const std::wstring& name);
// Whether a font face of that name is installed.
bool faceInstalled(const std::wstring& face);

} // namespace platform::win32
