#pragma once

#include "platform/timer.h"

#include <QTimer>

namespace platform {

struct TimerImpl {
    explicit TimerImpl(Form& owner);
    // Starts or stops the Qt timer to match interval, enabled and whether the
    // form is loaded.
    void refresh();

    Form& form;
    Timer* timer = nullptr;
    QTimer qtTimer;
    int32_t interval = 0;
    bool enabled = true;
};

TimerImpl& timerImplOf(Timer& timer);

} // namespace platform
