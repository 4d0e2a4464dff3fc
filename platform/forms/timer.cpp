#include "platform/forms/timer.h"

#include "platform/forms/form.h"
#include "platform/forms/runtime.h"
#include "platform/runtime/runtime_error.h"

#include <algorithm>

namespace platform {

Timer::Timer(Form& form)
    : form_(form)
    , native_(backend::createTimer(*this))
{
    form.timers_.push_back(this);
}

Timer::~Timer()
{
    std::erase(form_.timers_, this);
}

void Timer::refresh()
{
    bool running = form_.loaded() && !form_.loading_ && interval_ > 0;
    if (!running) {
        native_->stop();
        running_ = 0;
        return;
    }
    if (running_ != interval_) {
        native_->start(interval_);
        running_ = interval_;
    }
}

int32_t Timer::interval() const { return interval_; }

void Timer::setInterval(int32_t milliseconds)
{
    if (milliseconds < 0)
        throw RuntimeError(RuntimeErrorKind::Other,
                           "a timer interval of " + std::to_string(milliseconds) + " ms is not a valid interval");
    interval_ = milliseconds;
    refresh();
}

// Only an interval of 0 stops a timer; it never disables it.
bool Timer::enabled() const { return true; }

void Timer::tick()
{
    if (!form_.loaded() || form_.loading_)
        return;
    if (onTimer)
        Runtime::current().deliver(onTimer);
}

} // namespace platform
