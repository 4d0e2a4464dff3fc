#include "platform/forms/x11/window_frame.h"

#include <xcb/xcb.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

namespace platform::x11 {

namespace {

// How long a form waits for the window manager to tell its frame: it answers
// at once when it supports the request, which is checked before asking.
constexpr auto kFrameAnswerWait = std::chrono::milliseconds(500);
constexpr auto kFrameAnswerPoll = std::chrono::milliseconds(5);

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename Reply>
using ReplyPointer = std::unique_ptr<Reply, FreeReply>;

xcb_atom_t atomNamed(xcb_connection_t* connection, const char* name)
{
    ReplyPointer<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

xcb_window_t rootOf(xcb_connection_t* connection, xcb_window_t window)
{
    ReplyPointer<xcb_get_geometry_reply_t> reply(
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr));
    return reply ? reply->root : static_cast<xcb_window_t>(XCB_WINDOW_NONE);
}

// The 32-bit values of a window property of `type`; empty when it is not set.
std::vector<uint32_t> property(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t name, xcb_atom_t type)
{
    ReplyPointer<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, name, type, 0, 1024), nullptr));
    if (!reply || reply->format != 32 || reply->type != type)
        return {};
    const auto* values = static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
    return std::vector<uint32_t>(values, values + xcb_get_property_value_length(reply.get()) / 4);
}

bool windowManagerSupports(xcb_connection_t* connection, xcb_window_t root, xcb_atom_t feature)
{
    for (uint32_t supported : property(connection, root, atomNamed(connection, "_NET_SUPPORTED"), XCB_ATOM_ATOM))
        if (supported == feature)
            return true;
    return false;
}

} // namespace

FrameExtents expectedFrameExtents(xcb_connection_t* connection, uint32_t window)
{
    const xcb_window_t root = rootOf(connection, window);
    const xcb_atom_t request = atomNamed(connection, "_NET_REQUEST_FRAME_EXTENTS");
    const xcb_atom_t extents = atomNamed(connection, "_NET_FRAME_EXTENTS");
    if (root == XCB_WINDOW_NONE || !windowManagerSupports(connection, root, request))
        return {};

    xcb_client_message_event_t message {};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = request;
    xcb_send_event(connection, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(connection);

    const auto deadline = std::chrono::steady_clock::now() + kFrameAnswerWait;
    do {
        // Left, right, top, bottom.
        auto frame = property(connection, window, extents, XCB_ATOM_CARDINAL);
        if (frame.size() == 4)
            return { static_cast<int>(frame[0]), static_cast<int>(frame[2]), static_cast<int>(frame[1]),
                     static_cast<int>(frame[3]) };
        std::this_thread::sleep_for(kFrameAnswerPoll);
    } while (std::chrono::steady_clock::now() < deadline);
    return {};
}

void keepOutOfTaskbar(xcb_connection_t* connection, uint32_t window)
{
    const xcb_atom_t state = atomNamed(connection, "_NET_WM_STATE");
    const xcb_atom_t skipTaskbar = atomNamed(connection, "_NET_WM_STATE_SKIP_TASKBAR");
    // The states already asked for stay; the window manager reads them all
    // when the window is first shown.
    auto states = property(connection, window, state, XCB_ATOM_ATOM);
    for (uint32_t existing : states)
        if (existing == skipTaskbar)
            return;
    states.push_back(skipTaskbar);
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, state, XCB_ATOM_ATOM, 32,
                        static_cast<uint32_t>(states.size()), states.data());
    xcb_flush(connection);
}

} // namespace platform::x11
