#pragma once
// The X screen as another client sees it: what the window manager says of a window (iconic or
// not, which one is active), where a window stands on the root and in the stacking order, and
// requests a pager or the user's own window would make. It has its own connection, so nothing it
// reads comes from the Qt state under test.

#include <xcb/xcb.h>

#include <cstdint>
#include <string>
#include <vector>

class XScreen {
  public:
    struct Point {
        int x = 0;
        int y = 0;
        bool operator==(const Point& other) const { return x == other.x && y == other.y; }
    };

    // ICCCM's WM_STATE values; None when the window has no such property.
    enum class WmState { None = -1, Withdrawn = 0, Normal = 1, Iconic = 3 };

    // Connects to $DISPLAY; Connected() tells whether that worked.
    XScreen();
    ~XScreen();
    XScreen(const XScreen&) = delete;
    XScreen& operator=(const XScreen&) = delete;

    bool Connected() const { return m_connection != nullptr; }
    xcb_window_t Root() const { return m_root; }
    Point Size() const;

    // A window manager announces itself on the root, and names the requests it understands.
    bool WindowManagerRunning();
    bool WindowManagerSupports(const std::string& atom);

    WmState StateOf(xcb_window_t window);
    // _NET_WM_STATE's atoms, by name.
    std::vector<std::string> NetStatesOf(xcb_window_t window);
    bool Viewable(xcb_window_t window);
    // What the window manager takes for the active window (XCB_NONE when none is).
    xcb_window_t ActiveWindow();
    // The window's top-left corner on the root.
    Point PositionOf(xcb_window_t window);
    // The root's child that holds the window: the window manager's frame, or the window itself.
    xcb_window_t TopLevelOf(xcb_window_t window);
    // Whether a's top-level stands above b's on the root.
    bool Above(xcb_window_t a, xcb_window_t b);

    // A plain mapped window of this client, as another program's would be; gone with the object.
    xcb_window_t MapOtherWindow(int x, int y, int width, int height);
    // Asks the window manager to move a window as a pager or a keyboard move would.
    void AskMove(xcb_window_t window, int x, int y);

  private:
    xcb_atom_t Atom(const std::string& name);
    std::string AtomName(xcb_atom_t atom);
    std::vector<uint32_t> Cardinals(xcb_window_t window, xcb_atom_t property, xcb_atom_t type);
    std::vector<xcb_window_t> ChildrenOfRoot();

    xcb_connection_t* m_connection = nullptr;
    xcb_screen_t* m_screen = nullptr;
    xcb_window_t m_root = XCB_NONE;
    std::vector<xcb_window_t> m_own;
};
