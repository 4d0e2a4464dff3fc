// Stand-ins for the dialog's controls until each kind has its own window:
// plain static windows.

#include "platform/win32/forms/win32_control.h"

namespace platform::win32 {

namespace {

std::unique_ptr<Win32Control> placeholder(::HWND parent, backend::NativeEvents& events)
{
    return std::make_unique<Win32Control>(parent, L"STATIC", 0, 0, events);
}

} // namespace

std::unique_ptr<Win32Control> createFrame(::HWND parent, backend::NativeEvents& events) { return placeholder(parent, events); }
std::unique_ptr<Win32Control> createCheckBox(::HWND parent, backend::NativeEvents& events) { return placeholder(parent, events); }
std::unique_ptr<Win32Control> createOptionButton(::HWND parent, backend::NativeEvents& events) { return placeholder(parent, events); }
std::unique_ptr<Win32Control> createCommandButton(::HWND parent, backend::NativeEvents& events) { return placeholder(parent, events); }
std::unique_ptr<Win32Control> createComboBox(::HWND parent, backend::NativeEvents& events) { return placeholder(parent, events); }
std::unique_ptr<Win32Control> createHScrollBar(::HWND parent, backend::NativeEvents& events) { return placeholder(parent, events); }

} // namespace platform::win32
