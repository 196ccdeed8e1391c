#pragma once

#include <memory>
#include <string>

namespace tarnwood {

// A screensaver host's X window that the scene draws into, watched through a
// connection of its own: its size, whether it can be seen, whether it still
// exists. The host owns the window; this only listens (structure and
// visibility events, which any number of clients may select).
//
// While one exists, X errors no longer end the process: a request that
// fails because the host destroyed the window marks it gone, every other
// failed request is ignored; a lost connection to the X server ends the
// process with exit code 0, as the host has gone with it.
class DisplayHostWindow {
public:
    // Connects to $DISPLAY and starts watching `window`. Null with `problem`
    // set when the display cannot be opened or there is no such window.
    static std::unique_ptr<DisplayHostWindow> Open(unsigned long window, std::string& problem);
    ~DisplayHostWindow();
    DisplayHostWindow(const DisplayHostWindow&) = delete;
    DisplayHostWindow& operator=(const DisplayHostWindow&) = delete;

    // The root window of $DISPLAY, for --root without a host window; 0 when
    // the display cannot be opened.
    static unsigned long DesktopRootWindow();

    // Whether a window manager runs on $DISPLAY (one that announces itself
    // as the desktop standards ask); false when the display cannot be opened.
    static bool DesktopHasWindowManager();

    int Width() const { return width; }
    int Height() const { return height; }
    // Mapped and not fully covered by other windows.
    bool Visible() const { return mapped && !obscured; }
    // Destroyed by its owner, or found missing by a failed request.
    bool Gone() const;

    // Reads the events that have arrived, without blocking. Returns true
    // when the size has changed since the last call.
    bool Update();

    // The connection's descriptor: readable when events arrive.
    int Descriptor() const;

private:
    DisplayHostWindow() = default;

    void* connection = nullptr;
    unsigned long window = 0;
    int width = 0;
    int height = 0;
    bool mapped = false;
    bool obscured = false;
    bool destroyed = false;
};

}
