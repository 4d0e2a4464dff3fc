#include "platform/input_method.h"

#include "platform/backend.h"

#include <map>

namespace platform {

namespace {

// The default input context every window starts with.
constexpr HIMC kDefaultInputContext = 1;

// The windows whose context differs from the default one.
std::map<Form*, HIMC>& associations()
{
    static std::map<Form*, HIMC> contexts;
    return contexts;
}

void applyTo(Form& form, HIMC context)
{
    form.native().setInputMethodEnabled(context != kNullInputContext);
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

void forgetInputContext(HWND window) { associations().erase(window); }

} // namespace platform
