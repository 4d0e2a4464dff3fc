#pragma once

// A control array: one name, members by index 0..N-1, each with events that
// receive the member's index.

#include "platform/runtime/runtime_error.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace platform {

template<typename ControlType, std::size_t Count>
class ControlArray {
public:
    template<typename Parent>
    explicit ControlArray(Parent& container)
    {
        for (auto& member : members_)
            member = std::make_unique<ControlType>(container);
    }

    ControlType& operator()(int index) const
    {
        if (index < 0 || index >= static_cast<int>(Count))
            raiseSubscript("control index " + std::to_string(index) + " does not exist: the array has members 0 to "
                           + std::to_string(Count - 1));
        return *members_[static_cast<std::size_t>(index)];
    }

    // Connects one handler to every member; the handler gets the index.
    template<typename Handler, typename Member>
    void connect(Member member, Handler handler)
    {
        for (std::size_t i = 0; i < Count; ++i) {
            auto index = static_cast<int16_t>(i);
            (members_[i].get()->*member) = [handler, index](auto&&... args) { handler(index, args...); };
        }
    }

private:
    std::array<std::unique_ptr<ControlType>, Count> members_;
};

} // namespace platform
