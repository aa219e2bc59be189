#include "xscreen.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

template <typename Reply> using ReplyPtr = std::unique_ptr<Reply, decltype(&std::free)>;

template <typename Reply> ReplyPtr<Reply> Own(Reply* reply) {
    return ReplyPtr<Reply>(reply, &std::free);
}

constexpr uint32_t kNetWmMoveResizeX = 1u << 8;
constexpr uint32_t kNetWmMoveResizeY = 1u << 9;
constexpr uint32_t kSourcePager = 2u << 12;
constexpr uint32_t kNorthWestGravity = 1;

} // namespace

XScreen::XScreen() {
    int screenNumber = 0;
    xcb_connection_t* connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection) != 0) {
        xcb_disconnect(connection);
        return;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber && screens.rem > 0; ++i) {
        xcb_screen_next(&screens);
    }
    if (screens.rem == 0) {
        xcb_disconnect(connection);
        return;
    }
    m_connection = connection;
    m_screen = screens.data;
    m_root = m_screen->root;
}

XScreen::~XScreen() {
    if (m_connection == nullptr) {
        return;
    }
    for (xcb_window_t window : m_own) {
        xcb_destroy_window(m_connection, window);
    }
    xcb_flush(m_connection);
    xcb_disconnect(m_connection);
}

XScreen::Point XScreen::Size() const {
    return Point{m_screen->width_in_pixels, m_screen->height_in_pixels};
}

xcb_atom_t XScreen::Atom(const std::string& name) {
    auto reply = Own(xcb_intern_atom_reply(
        m_connection, xcb_intern_atom(m_connection, 0, static_cast<uint16_t>(name.size()), name.c_str()),
        nullptr));
    return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

std::string XScreen::AtomName(xcb_atom_t atom) {
    auto reply = Own(xcb_get_atom_name_reply(m_connection, xcb_get_atom_name(m_connection, atom), nullptr));
    if (!reply) {
        return std::string();
    }
    return std::string(xcb_get_atom_name_name(reply.get()),
                       static_cast<size_t>(xcb_get_atom_name_name_length(reply.get())));
}

std::vector<uint32_t> XScreen::Cardinals(xcb_window_t window, xcb_atom_t property, xcb_atom_t type) {
    auto reply = Own(xcb_get_property_reply(
        m_connection, xcb_get_property(m_connection, 0, window, property, type, 0, 1024), nullptr));
    if (!reply || reply->format != 32) {
        return {};
    }
    const auto* values = static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
    return std::vector<uint32_t>(values, values + xcb_get_property_value_length(reply.get()) / 4);
}

bool XScreen::WindowManagerRunning() {
    // A window manager that has ended may leave the root's property behind; its own window,
    // pointing at itself, goes with it.
    const xcb_atom_t check = Atom("_NET_SUPPORTING_WM_CHECK");
    const std::vector<uint32_t> onRoot = Cardinals(m_root, check, XCB_ATOM_WINDOW);
    if (onRoot.empty() || onRoot[0] == XCB_NONE) {
        return false;
    }
    const std::vector<uint32_t> onItself = Cardinals(onRoot[0], check, XCB_ATOM_WINDOW);
    return !onItself.empty() && onItself[0] == onRoot[0];
}

bool XScreen::WindowManagerSupports(const std::string& atom) {
    const std::vector<uint32_t> supported = Cardinals(m_root, Atom("_NET_SUPPORTED"), XCB_ATOM_ATOM);
    return std::find(supported.begin(), supported.end(), Atom(atom)) != supported.end();
}

XScreen::WmState XScreen::StateOf(xcb_window_t window) {
    const xcb_atom_t wmState = Atom("WM_STATE");
    const std::vector<uint32_t> state = Cardinals(window, wmState, wmState);
    return state.empty() ? WmState::None : static_cast<WmState>(state[0]);
}

std::vector<std::string> XScreen::NetStatesOf(xcb_window_t window) {
    std::vector<std::string> names;
    for (uint32_t atom : Cardinals(window, Atom("_NET_WM_STATE"), XCB_ATOM_ATOM)) {
        names.push_back(AtomName(atom));
    }
    return names;
}

bool XScreen::Viewable(xcb_window_t window) {
    auto reply = Own(xcb_get_window_attributes_reply(
        m_connection, xcb_get_window_attributes(m_connection, window), nullptr));
    return reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
}

xcb_window_t XScreen::ActiveWindow() {
    const std::vector<uint32_t> active = Cardinals(m_root, Atom("_NET_ACTIVE_WINDOW"), XCB_ATOM_WINDOW);
    return active.empty() ? XCB_NONE : active[0];
}

XScreen::Point XScreen::PositionOf(xcb_window_t window) {
    auto reply = Own(xcb_translate_coordinates_reply(
        m_connection, xcb_translate_coordinates(m_connection, window, m_root, 0, 0), nullptr));
    return reply ? Point{reply->dst_x, reply->dst_y} : Point{-1, -1};
}

xcb_window_t XScreen::TopLevelOf(xcb_window_t window) {
    while (window != XCB_NONE) {
        auto reply = Own(xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, window), nullptr));
        if (!reply) {
            return XCB_NONE;
        }
        if (reply->parent == m_root) {
            return window;
        }
        window = reply->parent;
    }
    return XCB_NONE;
}

std::vector<xcb_window_t> XScreen::ChildrenOfRoot() {
    auto reply = Own(xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, m_root), nullptr));
    if (!reply) {
        return {};
    }
    const xcb_window_t* children = xcb_query_tree_children(reply.get());
    return std::vector<xcb_window_t>(children, children + xcb_query_tree_children_length(reply.get()));
}

bool XScreen::Above(xcb_window_t a, xcb_window_t b) {
    // The root's children come bottom first.
    const std::vector<xcb_window_t> order = ChildrenOfRoot();
    const auto first = std::find(order.begin(), order.end(), TopLevelOf(a));
    const auto second = std::find(order.begin(), order.end(), TopLevelOf(b));
    return first != order.end() && second != order.end() && first > second;
}

xcb_window_t XScreen::MapOtherWindow(int x, int y, int width, int height) {
    const xcb_window_t window = xcb_generate_id(m_connection);
    const uint32_t background[] = {m_screen->white_pixel};
    xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, window, m_root, static_cast<int16_t>(x),
                      static_cast<int16_t>(y), static_cast<uint16_t>(width), static_cast<uint16_t>(height), 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, m_screen->root_visual, XCB_CW_BACK_PIXEL, background);
    const char title[] = "another program";
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                        sizeof title - 1, title);
    // Placed where asked, as a program that remembers its place asks (USPosition, USSize).
    const uint32_t hints[18] = {1u | 2u, static_cast<uint32_t>(x), static_cast<uint32_t>(y),
                                static_cast<uint32_t>(width), static_cast<uint32_t>(height)};
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NORMAL_HINTS,
                        XCB_ATOM_WM_SIZE_HINTS, 32, 18, hints);
    xcb_map_window(m_connection, window);
    xcb_flush(m_connection);
    m_own.push_back(window);
    return window;
}

void XScreen::AskMove(xcb_window_t window, int x, int y) {
    xcb_client_message_event_t message;
    std::memset(&message, 0, sizeof message);
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = Atom("_NET_MOVERESIZE_WINDOW");
    message.data.data32[0] = kNorthWestGravity | kNetWmMoveResizeX | kNetWmMoveResizeY | kSourcePager;
    message.data.data32[1] = static_cast<uint32_t>(x);
    message.data.data32[2] = static_cast<uint32_t>(y);
    xcb_send_event(m_connection, 0, m_root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(m_connection);
}
