#include "platform/command_button.h"

#include "platform/qt/control_impl.h"
#include "platform/runtime.h"

#include <QKeyEvent>
#include <QPushButton>

namespace platform {

namespace {

struct ButtonImpl : ControlImpl {
    ButtonImpl(Container& owner, QPushButton* native)
        : ControlImpl(owner, native)
        , button(native)
    {
    }
    QPushButton* button;
    std::string caption;
};

// Enter on a focused button presses it, as Space does: the hands of Windows
// users expect it of every button, not only of the default one.
class ButtonWidget : public QPushButton {
protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
            && (event->modifiers() & ~Qt::KeypadModifier) == 0) {
            event->accept();
            click();
            return;
        }
        QPushButton::keyPressEvent(event);
    }
};

ButtonImpl& buttonImpl(const CommandButton& button) { return static_cast<ButtonImpl&>(button.impl()); }

} // namespace

CommandButton::CommandButton(Container& container)
    : Control(container, std::make_unique<ButtonImpl>(container, new ButtonWidget))
{
    auto* button = buttonImpl(*this).button;
    button->setFocusPolicy(Qt::StrongFocus);
    button->setAutoDefault(false);
    QObject::connect(button, &QPushButton::clicked, [this] { click(); });
}

const std::string& CommandButton::caption() const { return buttonImpl(*this).caption; }

void CommandButton::setCaption(const std::string& text)
{
    buttonImpl(*this).caption = text;
    buttonImpl(*this).button->setText(QString::fromStdString(text));
}

void CommandButton::setDefault(bool value)
{
    auto& form = container().form().formImpl();
    form.defaultButton = value ? this : (form.defaultButton == this ? nullptr : form.defaultButton);
    buttonImpl(*this).button->setDefault(value);
}

void CommandButton::setCancel(bool value)
{
    auto& form = container().form().formImpl();
    form.cancelButton = value ? this : (form.cancelButton == this ? nullptr : form.cancelButton);
}

void CommandButton::click()
{
    if (onClick && container().form().loaded())
        Runtime::current().deliver(onClick);
}

} // namespace platform
