#include "platform/option_button.h"

#include "platform/qt/control_impl.h"
#include "platform/runtime.h"

#include <QRadioButton>

namespace platform {

namespace {

// Exclusivity is kept by the container, not by Qt, so that code can clear
// every button of a group and hidden buttons take part too. A click on a
// selected button leaves it selected.
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

struct OptionImpl : ControlImpl {
    OptionImpl(Container& owner, OptionWidget* native)
        : ControlImpl(owner, native)
        , button(native)
    {
    }
    OptionWidget* button;
    std::string caption;
};

OptionImpl& optionImpl(const OptionButton& button) { return static_cast<OptionImpl&>(button.impl()); }

void clearOthers(OptionButton& selected)
{
    for (OptionButton* other : selected.container().containerImpl().optionButtons) {
        if (other == &selected)
            continue;
        auto* widget = optionImpl(*other).button;
        widget->blockSignals(true);
        widget->setChecked(false);
        widget->blockSignals(false);
    }
}

} // namespace

OptionButton::OptionButton(Container& container)
    : Control(container, std::make_unique<OptionImpl>(container, new OptionWidget))
{
    container.containerImpl().optionButtons.push_back(this);
    auto* button = optionImpl(*this).button;
    button->setFocusPolicy(Qt::StrongFocus);
    QObject::connect(button, &QRadioButton::toggled, [this](bool checked) {
        if (!checked)
            return;
        clearOthers(*this);
        if (onClick)
            Runtime::current().deliver(onClick);
    });
}

OptionButton::~OptionButton()
{
    std::erase(container().containerImpl().optionButtons, this);
}

bool OptionButton::value() const { return optionImpl(*this).button->isChecked(); }

void OptionButton::setValue(bool selected)
{
    auto* button = optionImpl(*this).button;
    if (selected == button->isChecked())
        return;
    button->blockSignals(true);
    button->setChecked(selected);
    button->blockSignals(false);
    if (!selected)
        return;
    clearOthers(*this);
    if (onClick)
        Runtime::current().deliver(onClick);
}

const std::string& OptionButton::caption() const { return optionImpl(*this).caption; }

void OptionButton::setCaption(const std::string& text)
{
    optionImpl(*this).caption = text;
    optionImpl(*this).button->setText(QString::fromStdString(text));
}

} // namespace platform
