#include "platform/runtime/message_box.h"

#include <cstdio>

namespace platform {

namespace {

MessageBoxPresenter& presenter()
{
    static MessageBoxPresenter current;
    return current;
}

} // namespace

void MsgBox(const std::string& text, MessageBoxIcon icon, const std::string& title)
{
    MessageBoxRequest request { text, title, icon };
    if (presenter()) {
        presenter()(request);
        return;
    }
    std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
}

MessageBoxPresenter setMessageBoxPresenter(MessageBoxPresenter replacement)
{
    MessageBoxPresenter previous = std::move(presenter());
    presenter() = std::move(replacement);
    return previous;
}

} // namespace platform
