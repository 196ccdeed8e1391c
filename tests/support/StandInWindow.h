#pragma once

#include "Picture.h"

#include <string>

namespace tarnwood::test {

// A stand-in for a screensaver host's window: a plain top-level X window with
// a black background, made by this process on the display `displayName`,
// that a program under test is told to draw into. Every change waits until
// the server has reported it back.
class StandInWindow {
public:
    // Opens the display and maps a width x height window at (0, 0). Ok() is
    // false when the display cannot be opened.
    explicit StandInWindow(const std::string& displayName, int width = 400, int height = 300);
    // Destroys the window if it still exists and closes the connection.
    ~StandInWindow();
    StandInWindow(const StandInWindow&) = delete;
    StandInWindow& operator=(const StandInWindow&) = delete;

    bool Ok() const { return window != 0; }
    // The id as "0x..." (the form of --window-id) and in decimal (the form
    // some hosts put into XSCREENSAVER_WINDOW).
    std::string HexId() const;
    std::string DecimalId() const;

    bool Resize(int width, int height);
    bool Unmap();
    bool Map();
    // Puts a second, opaque window exactly over this one, or takes it away.
    bool Cover();
    bool Uncover();
    // Destroys the window; the program drawing into it sees it vanish.
    bool Destroy();

    // The window's pixels as the server holds them; an empty picture when the
    // window is not mapped or gone.
    Picture Capture();

    // Mapped children of the root window: the top-level windows on screen.
    int MappedTopLevelWindows();

private:
    bool WaitFor(int type, unsigned long which);

    void* display = nullptr;
    unsigned long window = 0;
    unsigned long cover = 0;
};

}
