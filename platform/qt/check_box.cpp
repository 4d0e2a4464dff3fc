#include "platform/check_box.h"

#include "platform/qt/control_impl.h"
#include "platform/runtime.h"
#include "platform/runtime_error.h"

#include <QCheckBox>

namespace platform {

namespace {

struct CheckBoxImpl : ControlImpl {
    CheckBoxImpl(Container& owner, QCheckBox* native)
        : ControlImpl(owner, native)
        , box(native)
    {
    }
    QCheckBox* box;
    std::string caption;
};

CheckBoxImpl& checkBoxImpl(const CheckBox& box) { return static_cast<CheckBoxImpl&>(box.impl()); }

} // namespace

CheckBox::CheckBox(Container& container)
    : Control(container, std::make_unique<CheckBoxImpl>(container, new QCheckBox))
{
    auto* box = checkBoxImpl(*this).box;
    box->setFocusPolicy(Qt::StrongFocus);
    QObject::connect(box, &QCheckBox::clicked, [this] {
        if (onClick)
            Runtime::current().deliver(onClick);
    });
}

int16_t CheckBox::value() const { return checkBoxImpl(*this).box->isChecked() ? 1 : 0; }

void CheckBox::setValue(int16_t value)
{
    if (value != 0 && value != 1)
        throw RuntimeError(RuntimeErrorKind::Other,
                           "a check box value of " + std::to_string(value) + " is not valid (only 0 and 1 are)");
    if (value == this->value())
        return;
    auto* box = checkBoxImpl(*this).box;
    box->blockSignals(true);
    box->setChecked(value == 1);
    box->blockSignals(false);
    if (onClick)
        Runtime::current().deliver(onClick);
}

const std::string& CheckBox::caption() const { return checkBoxImpl(*this).caption; }

void CheckBox::setCaption(const std::string& text)
{
    checkBoxImpl(*this).caption = text;
    checkBoxImpl(*this).box->setText(QString::fromStdString(text));
}

} // namespace platform
