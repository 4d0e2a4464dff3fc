// Check boxes, option buttons and command buttons on Qt's buttons.

#include "platform/qt/native_control.h"

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>

namespace platform::qt {

namespace {

// A button whose checked state is set by the rules without a signal.
template<typename Button>
class CheckableControl : public QtControl {
public:
    CheckableControl(Button* button, backend::NativeEvents& events)
        : QtControl(button, events)
        , button_(button)
    {
    }

    void setText(const std::string& text) override { button_->setText(QString::fromStdString(text)); }

    void setChecked(bool checked) override
    {
        button_->blockSignals(true);
        button_->setChecked(checked);
        button_->blockSignals(false);
    }

private:
    Button* button_;
};

// The option group's exclusivity is the rules' business, not Qt's: a
// click on a selected button leaves it selected.
class OptionWidget : public QRadioButton {
public:
    OptionWidget() { setAutoExclusive(false); }

protected:
    void nextCheckState() override
    {
        if (!isChecked())
            setChecked(true);
    }
};

class CommandButtonControl : public QtControl {
public:
    CommandButtonControl(QPushButton* button, backend::NativeEvents& events)
        : QtControl(button, events)
        , button_(button)
    {
        button->setAutoDefault(false);
        QObject::connect(button, &QPushButton::clicked, [&events] { events.nativeClicked(); });
    }

    void setText(const std::string& text) override { button_->setText(QString::fromStdString(text)); }
    void setDefault(bool isDefault) override { button_->setDefault(isDefault); }

private:
    QPushButton* button_;
};

} // namespace

std::unique_ptr<QtControl> createCheckBox(backend::NativeEvents& events)
{
    auto* box = new QCheckBox;
    QObject::connect(box, &QCheckBox::clicked, [&events](bool checked) { events.nativeValueChanged(checked ? 1 : 0); });
    return std::make_unique<CheckableControl<QCheckBox>>(box, events);
}

std::unique_ptr<QtControl> createOptionButton(backend::NativeEvents& events)
{
    auto* button = new OptionWidget;
    QObject::connect(button, &QRadioButton::toggled, [&events](bool checked) {
        if (checked)
            events.nativeValueChanged(1);
    });
    return std::make_unique<CheckableControl<QRadioButton>>(button, events);
}

std::unique_ptr<QtControl> createCommandButton(backend::NativeEvents& events)
{
    return std::make_unique<CommandButtonControl>(new QPushButton, events);
}

} // namespace platform::qt
