#include "platform/h_scroll_bar.h"

#include "platform/qt/control_impl.h"
#include "platform/runtime.h"
#include "platform/runtime_error.h"

#include <QScrollBar>

namespace platform {

namespace {

QScrollBar* bar(const HScrollBar& scrollBar) { return static_cast<QScrollBar*>(scrollBar.impl().widget.data()); }

} // namespace

HScrollBar::HScrollBar(Container& container)
    : Control(container, std::make_unique<ControlImpl>(container, new QScrollBar(Qt::Horizontal)))
{
    bar(*this)->setFocusPolicy(Qt::StrongFocus);
    bar(*this)->setRange(0, 32767);
    QObject::connect(bar(*this), &QScrollBar::valueChanged, [this](int) {
        if (onChange)
            Runtime::current().deliver(onChange);
    });
}

int16_t HScrollBar::value() const { return static_cast<int16_t>(bar(*this)->value()); }

void HScrollBar::setValue(int16_t value)
{
    if (value < min() || value > max())
        throw RuntimeError(RuntimeErrorKind::Other,
                           "a scroll bar value of " + std::to_string(value) + " is outside its range "
                               + std::to_string(min()) + " to " + std::to_string(max()));
    if (value == this->value())
        return;
    bar(*this)->blockSignals(true);
    bar(*this)->setValue(value);
    bar(*this)->blockSignals(false);
    if (onChange)
        Runtime::current().deliver(onChange);
}

int16_t HScrollBar::min() const { return static_cast<int16_t>(bar(*this)->minimum()); }
int16_t HScrollBar::max() const { return static_cast<int16_t>(bar(*this)->maximum()); }

void HScrollBar::setMin(int16_t value)
{
    bar(*this)->blockSignals(true);
    bar(*this)->setMinimum(value);
    bar(*this)->blockSignals(false);
}

void HScrollBar::setMax(int16_t value)
{
    bar(*this)->blockSignals(true);
    bar(*this)->setMaximum(value);
    bar(*this)->blockSignals(false);
}

void HScrollBar::setSmallChange(int16_t value) { bar(*this)->setSingleStep(value); }
void HScrollBar::setLargeChange(int16_t value) { bar(*this)->setPageStep(value); }

} // namespace platform
