#include "app/DisplayHostWindow.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <cstdio>
#include <cstdlib>
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

::Display* X(void* connection)
{
    return static_cast<::Display*>(connection);
}

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

bool DisplayHostWindow::DesktopHasWindowManager()
{
    ::Display* x = XOpenDisplay(nullptr);
    if (x == nullptr)
        return false;
    // A running manager keeps a window of its own named in this root property
    // and names it again on that window; a stale property names a dead one.
    auto checkWindow = [x](Window on) -> Window {
        const Atom check = XInternAtom(x, "_NET_SUPPORTING_WM_CHECK", False);
        Atom type = None;
        int format = 0;
        unsigned long count = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        Window found = 0;
        if (XGetWindowProperty(x, on, check, 0, 1, False, XA_WINDOW, &type, &format, &count, &after, &data) == Success
            && type == XA_WINDOW && format == 32 && count == 1)
            found = *reinterpret_cast<Window*>(data);
        if (data != nullptr)
            XFree(data);
        return found;
    };
    auto oldHandler = XSetErrorHandler([](::Display*, XErrorEvent*) { return 0; });
    const Window manager = checkWindow(DefaultRootWindow(x));
    const bool running = manager != 0 && checkWindow(manager) == manager;
    XSync(x, False);
    XSetErrorHandler(oldHandler);
    XCloseDisplay(x);
    return running;
}

bool DisplayHostWindow::Gone() const
{
    return destroyed || watchedWindowFailed;
}

int DisplayHostWindow::Descriptor() const
{
    return ConnectionNumber(X(connection));
}

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
