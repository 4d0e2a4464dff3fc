#pragma once

// The message box of the forms runtime. The windowed runtime installs a
// presenter that shows a real, application-modal box; without one (tools,
// benchmarks, fuzzers) the message goes to standard error. Tests install a
// presenter of their own to see what would have been shown.

#include <functional>
#include <string>

namespace platform {

enum class MessageBoxIcon { None, Critical, Exclamation, Information };

struct MessageBoxRequest {
    std::string text;
    std::string title;
    MessageBoxIcon icon = MessageBoxIcon::None;
};

using MessageBoxPresenter = std::function<void(const MessageBoxRequest&)>;

// Shows a box with the text, the title, the icon and a single OK button, and
// returns when the user has closed it.
void MsgBox(const std::string& text, MessageBoxIcon icon, const std::string& title);

// Replaces the presenter; returns the previous one. An empty presenter
// restores the standard-error fallback.
MessageBoxPresenter setMessageBoxPresenter(MessageBoxPresenter presenter);

} // namespace platform
