#include "platform/forms/input_method.h"

#include "platform/forms/backend.h"

#include <map>

namespace platform {

namespace {

// The default input context every window starts with.
constexpr InputContext kDefaultInputContext = 1;

// The windows whose context differs from the default one.
std::map<backend::WindowHandle, InputContext>& associations()
{
    static std::map<backend::WindowHandle, InputContext> contexts;
    return contexts;
}

void applyTo(backend::WindowHandle window, InputContext context)
{
    window->setInputMethodEnabled(context != kNullInputContext);
}

} // namespace

InputContext ImmAssociateContext(backend::WindowHandle window, InputContext context)
{
    InputContext previous = currentInputContext(window);
    if (context == kDefaultInputContext || context == kNullInputContext) {
        associations()[window] = context;
        applyTo(window, context);
    }
    if (context == kDefaultInputContext)
        associations().erase(window);
    return previous;
}

InputContext currentInputContext(backend::WindowHandle window)
{
    auto found = associations().find(window);
    return found == associations().end() ? kDefaultInputContext : found->second;
}

void restoreAllInputContexts()
{
    for (auto& [window, context] : associations())
        applyTo(window, kDefaultInputContext);
    associations().clear();
}

void forgetInputContext(backend::WindowHandle window) { associations().erase(window); }

} // namespace platform
