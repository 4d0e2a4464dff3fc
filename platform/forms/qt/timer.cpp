#include "platform/forms/backend.h"
#include "platform/forms/timer.h"

#include <QTimer>

namespace platform::backend {

namespace {

class QtTimer : public NativeTimer {
public:
    explicit QtTimer(Timer& timer)
    {
        timer_.setTimerType(Qt::CoarseTimer);
        QObject::connect(&timer_, &QTimer::timeout, [&timer] { timer.tick(); });
    }

    void start(int32_t milliseconds) override { timer_.start(milliseconds); }
    void stop() override { timer_.stop(); }

private:
    QTimer timer_;
};

} // namespace

std::unique_ptr<NativeTimer> createTimer(Timer& timer) { return std::make_unique<QtTimer>(timer); }

} // namespace platform::backend
