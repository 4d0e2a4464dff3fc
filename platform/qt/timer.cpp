#include "platform/timer.h"

#include "platform/form.h"
#include "platform/qt/control_impl.h"
#include "platform/qt/timer_impl.h"
#include "platform/runtime.h"
#include "platform/runtime_error.h"

namespace platform {

TimerImpl::TimerImpl(Form& owner)
    : form(owner)
{
    qtTimer.setTimerType(Qt::CoarseTimer);
}

void TimerImpl::refresh()
{
    bool running = form.loaded() && !form.formImpl().loading && enabled && interval > 0;
    if (!running) {
        qtTimer.stop();
        return;
    }
    if (!qtTimer.isActive() || qtTimer.interval() != interval)
        qtTimer.start(interval);
}

Timer::Timer(Form& form)
    : impl_(std::make_unique<TimerImpl>(form))
{
    impl_->timer = this;
    form.formImpl().timers.push_back(this);
    QObject::connect(&impl_->qtTimer, &QTimer::timeout, [this] { tick(); });
}

Timer::~Timer()
{
    std::erase(impl_->form.formImpl().timers, this);
}

int32_t Timer::interval() const { return impl_->interval; }

void Timer::setInterval(int32_t milliseconds)
{
    if (milliseconds < 0)
        throw RuntimeError(RuntimeErrorKind::Other,
                           "a timer interval of " + std::to_string(milliseconds) + " ms is not a valid interval");
    impl_->interval = milliseconds;
    impl_->refresh();
}

bool Timer::enabled() const { return impl_->enabled; }

void Timer::tick()
{
    if (!impl_->form.loaded() || impl_->form.formImpl().loading)
        return;
    if (onTimer)
        Runtime::current().deliver(onTimer);
}

TimerImpl& timerImplOf(Timer& timer) { return *timer.impl_; }

} // namespace platform
