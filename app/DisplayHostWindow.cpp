#include "app/DisplayHostWindow.h"

#include <X11/Xlib.h>
#include <cstdlib>
#include <cstdio>
#include <unistd.h>

namespace tarnwood {

namespace {

// The window being drawn into, and whether a request on it has failed. X
// error handlers are process-wide, so they serve SDL's and GL's connections
// as well as ours.
unsigned long watchedWindow = 0;
bool watchedWindowFailed = false;

int RecordXError(::Display*, XErrorEvent* error)
{
    if (watchedWindow != 0 && error->resourceid == watchedWindow
        && (error->error_code == BadWindow || error->error_code == BadDrawable))
        watchedWindowFailed = true;
    return 0;
}

int EndOnConnectionLoss(::Display*)
{
    _exit(0);
}

::Display* X(void* connection) { return static_cast<::Display*>(connection); }

}

std::unique_ptr<DisplayHostWindow> DisplayHostWindow::Open(unsigned long window, std::string& problem)
{
    XSetErrorHandler(RecordXError);
    XSetIOErrorHandler(EndOnConnectionLoss);
    ::Display* x = XOpenDisplay(nullptr);
    if (x == nullptr) {
        const char* name = std::getenv("DISPLAY");
        problem = std::string("cannot open the X display '") + (name != nullptr ? name : "") + "'";
        return nullptr;
    }
    std::unique_ptr<DisplayHostWindow> host(new DisplayHostWindow());
    host->connection = x;
    host->window = window;
    watchedWindow = window;
    watchedWindowFailed = false;
    // Select first, then ask: a change between the two still arrives as an event.
    XSelectInput(x, window, StructureNotifyMask | VisibilityChangeMask);
    XWindowAttributes attributes;
    const Status known = XGetWindowAttributes(x, window, &attributes);
    XSync(x, False);
    if (!known || watchedWindowFailed) {
        char text[64];
        std::snprintf(text, sizeof text, "there is no X window 0x%lx", window);
        problem = text;
        return nullptr;
    }
    host->width = attributes.width;
    host->height = attributes.height;
    host->mapped = attributes.map_state == IsViewable;
    return host;
}

DisplayHostWindow::~DisplayHostWindow()
{
    XCloseDisplay(X(connection));
    watchedWindow = 0;
}

unsigned long DisplayHostWindow::DesktopRootWindow()
{
    ::Display* x = XOpenDisplay(nullptr);
    if (x == nullptr)
        return 0;
    const unsigned long root = DefaultRootWindow(x);
    XCloseDisplay(x);
    return root;
}

bool DisplayHostWindow::Gone() const { return destroyed || watchedWindowFailed; }

int DisplayHostWindow::Descriptor() const { return ConnectionNumber(X(connection)); }

bool DisplayHostWindow::Update()
{
    ::Display* x = X(connection);
    const int oldWidth = width;
    const int oldHeight = height;
    while (XPending(x) > 0) {
        XEvent event;
        XNextEvent(x, &event);
        if (event.xany.window != window)
            continue;
        switch (event.type) {
        case ConfigureNotify:
            width = event.xconfigure.width;
            height = event.xconfigure.height;
            break;
        case MapNotify:
            mapped = true;
            obscured = false;
            break;
        case UnmapNotify:
            mapped = false;
            break;
        case VisibilityNotify:
            obscured = event.xvisibility.state == VisibilityFullyObscured;
            break;
        case DestroyNotify:
            destroyed = true;
            break;
        default:
            break;
        }
    }
    return width != oldWidth || height != oldHeight;
}

}
