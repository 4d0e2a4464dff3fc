#pragma once

#include "platform/forms/backend.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace platform {

class Form;

// A form's timer. It ticks every interval() milliseconds while the interval
// is not 0 and the form is loaded, from the moment its Form_Load has
// returned; setting 0 stops it. Ticks are delivered
// one at a time on the program's only thread.
class Timer {
public:
    explicit Timer(Form& form);
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    int32_t interval() const;
    // A negative interval raises the "Invalid property value" run-time error.
    void setInterval(int32_t milliseconds);
    bool enabled() const;

    std::function<void()> onTimer;

    // One elapsed interval: raises onTimer through the event boundary, unless
    // the form is not loaded or is still loading.
    void tick();

private:
    friend class Form;
    // Starts or stops the native timer to match the interval and whether
    // the form is loaded and done loading.
    void refresh();

    Form& form_;
    std::unique_ptr<backend::NativeTimer> native_;
    int32_t interval_ = 0;
    // The interval the native timer runs at, 0 while stopped.
    int32_t running_ = 0;
};

} // namespace platform
