#pragma once

// Records the message boxes the program would show, instead of showing them.

#include "platform/runtime/message_box.h"

#include <vector>

namespace testing_support {

class MessageBoxRecorder {
public:
    MessageBoxRecorder()
    {
        previous_ = platform::setMessageBoxPresenter(
            [this](const platform::MessageBoxRequest& request) { shown.push_back(request); });
    }
    ~MessageBoxRecorder() { platform::setMessageBoxPresenter(std::move(previous_)); }
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    std::vector<platform::MessageBoxRequest> shown;

private:
    platform::MessageBoxPresenter previous_;
};

} // namespace testing_support
