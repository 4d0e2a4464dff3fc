#include "platform/input_method.h"

#include "platform/qt/control_impl.h"
#include "platform/qt/form_window.h"
#include "platform/qt/input_method_registry.h"

#include <QGuiApplication>
#include <QInputMethod>

#include <map>

namespace platform {

namespace {

// The default input context every window starts with.
constexpr HIMC kDefaultInputContext = 1;

std::map<Form*, HIMC>& associations()
{
    static std::map<Form*, HIMC> contexts;
    return contexts;
}

void applyTo(Form& form, HIMC context)
{
    QWidget* window = form.formImpl().window;
    bool enabled = context != kNullInputContext;
    window->setAttribute(Qt::WA_InputMethodEnabled, enabled);
    if (!enabled && window->isActiveWindow())
        QGuiApplication::inputMethod()->reset();
    QGuiApplication::inputMethod()->update(Qt::ImEnabled);
}

} // namespace

HIMC ImmAssociateContext(HWND window, HIMC context)
{
    HIMC previous = currentInputContext(window);
    if (context == kDefaultInputContext || context == kNullInputContext) {
        associations()[window] = context;
        applyTo(*window, context);
    }
    if (context == kDefaultInputContext)
        associations().erase(window);
    return previous;
}

HIMC currentInputContext(HWND window)
{
    auto found = associations().find(window);
    return found == associations().end() ? kDefaultInputContext : found->second;
}

void restoreAllInputContexts()
{
    for (auto& [form, context] : associations())
        applyTo(*form, kDefaultInputContext);
    associations().clear();
}

} // namespace platform

namespace platform {

void forgetInputContext(Form* form)
{
    associations().erase(form);
}

} // namespace platform
