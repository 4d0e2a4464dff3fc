// A timer: SetTimer on the application's message window, the timer's id
// being the native timer itself.

#include "platform/forms/win32/win32_forms.h"

#include "platform/forms/timer.h"

#include <algorithm>

namespace platform::win32 {

namespace {

class Win32Timer : public backend::NativeTimer {
public:
    explicit Win32Timer(Timer& timer)
        : timer_(timer)
    {
    }

    ~Win32Timer() override { stop(); }

    void start(int32_t milliseconds) override
    {
        running_ = SetTimer(messageWindow(), id(), static_cast<UINT>(std::max(milliseconds, 1)), &Win32Timer::ticked) != 0;
    }

    void stop() override
    {
        if (running_)
            KillTimer(messageWindow(), id());
        running_ = false;
    }

private:
    UINT_PTR id() const { return reinterpret_cast<UINT_PTR>(this); }

    static void CALLBACK ticked(::HWND, UINT, UINT_PTR id, DWORD)
    {
        backend::DispatchScope dispatch;
        reinterpret_cast<Win32Timer*>(id)->timer_.tick();
    }

    Timer& timer_;
    bool running_ = false;
};

} // namespace

} // namespace platform::win32

namespace platform::backend {

std::unique_ptr<NativeTimer> createTimer(Timer& timer) { return std::make_unique<win32::Win32Timer>(timer); }

} // namespace platform::backend
