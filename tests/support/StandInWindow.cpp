#include "StandInWindow.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <chrono>
#include <cstdio>
#include <poll.h>

namespace tarnwood::test {

namespace {

::Display* X(void* display)
{
    return static_cast<::Display*>(display);
}

// A program under test may destroy or reconfigure things under our feet;
// requests that fail then are expected and must not end the test process.
int IgnoreXError(::Display*, XErrorEvent*)
{
    return 0;
}

}

StandInWindow::StandInWindow(const std::string& displayName, int width, int height)
{
    XSetErrorHandler(IgnoreXError);
    ::Display* x = XOpenDisplay(displayName.c_str());
    if (x == nullptr)
        return;
    display = x;
    XSetWindowAttributes attributes{};
    attributes.background_pixel = BlackPixel(x, DefaultScreen(x));
    attributes.event_mask = StructureNotifyMask;
    const Window made = XCreateWindow(x, DefaultRootWindow(x), 0, 0, static_cast<unsigned>(width),
                                      static_cast<unsigned>(height), 0, CopyFromParent, InputOutput, CopyFromParent,
                                      CWBackPixel | CWEventMask, &attributes);
    XStoreName(x, made, "stand-in host window");
    XMapWindow(x, made);
    window = made;
    if (!WaitFor(MapNotify, made))
        window = 0;
}

StandInWindow::~StandInWindow()
{
    if (display == nullptr)
        return;
    if (cover != 0)
        XDestroyWindow(X(display), cover);
    if (window != 0)
        XDestroyWindow(X(display), window);
    XCloseDisplay(X(display));
}

std::string StandInWindow::HexId() const
{
    char text[32];
    std::snprintf(text, sizeof text, "0x%lx", window);
    return text;
}

std::string StandInWindow::DecimalId() const
{
    return std::to_string(window);
}

bool StandInWindow::WaitFor(int type, unsigned long which)
{
    ::Display* x = X(display);
    XFlush(x);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
        while (XPending(x) > 0) {
            XEvent event;
            XNextEvent(x, &event);
            if (event.type == type && event.xany.window == which)
                return true;
        }
        pollfd fd{ConnectionNumber(x), POLLIN, 0};
        poll(&fd, 1, 100);
    }
    return false;
}

bool StandInWindow::Resize(int width, int height)
{
    if (window == 0)
        return false;
    XResizeWindow(X(display), window, static_cast<unsigned>(width), static_cast<unsigned>(height));
    return WaitFor(ConfigureNotify, window);
}

bool StandInWindow::Unmap()
{
    if (window == 0)
        return false;
    XUnmapWindow(X(display), window);
    return WaitFor(UnmapNotify, window);
}

bool StandInWindow::Map()
{
    if (window == 0)
        return false;
    XMapWindow(X(display), window);
    return WaitFor(MapNotify, window);
}

bool StandInWindow::Cover()
{
    if (window == 0 || cover != 0)
        return false;
    ::Display* x = X(display);
    XWindowAttributes own;
    XGetWindowAttributes(x, window, &own);
    XSetWindowAttributes attributes{};
    attributes.background_pixel = WhitePixel(x, DefaultScreen(x));
    attributes.event_mask = StructureNotifyMask;
    cover = XCreateWindow(x, DefaultRootWindow(x), own.x - 10, own.y - 10, static_cast<unsigned>(own.width + 20),
                          static_cast<unsigned>(own.height + 20), 0, CopyFromParent, InputOutput, CopyFromParent,
                          CWBackPixel | CWEventMask, &attributes);
    XMapRaised(x, cover);
    return WaitFor(MapNotify, cover);
}

bool StandInWindow::Uncover()
{
    if (cover == 0)
        return false;
    XDestroyWindow(X(display), cover);
    const bool gone = WaitFor(DestroyNotify, cover);
    cover = 0;
    return gone;
}

bool StandInWindow::Destroy()
{
    if (window == 0)
        return false;
    XDestroyWindow(X(display), window);
    const bool gone = WaitFor(DestroyNotify, window);
    window = 0;
    return gone;
}

Picture StandInWindow::Capture()
{
    Picture picture;
    if (window == 0)
        return picture;
    ::Display* x = X(display);
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(x, window, &attributes) || attributes.map_state != IsViewable)
        return picture;
    XImage* image = XGetImage(x, window, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (image == nullptr)
        return picture;
    picture.width = attributes.width;
    picture.height = attributes.height;
    picture.rgb.resize(static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height) * 3);
    std::size_t at = 0;
    for (int y = 0; y < picture.height; ++y) {
        for (int x0 = 0; x0 < picture.width; ++x0) {
            const unsigned long pixel = XGetPixel(image, x0, y);
            picture.rgb[at++] = static_cast<char>((pixel & image->red_mask) >> __builtin_ctzl(image->red_mask));
            picture.rgb[at++] = static_cast<char>((pixel & image->green_mask) >> __builtin_ctzl(image->green_mask));
            picture.rgb[at++] = static_cast<char>((pixel & image->blue_mask) >> __builtin_ctzl(image->blue_mask));
        }
    }
    XDestroyImage(image);
    return picture;
}

int StandInWindow::MappedTopLevelWindows()
{
    if (display == nullptr)
        return 0;
    ::Display* x = X(display);
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(x, DefaultRootWindow(x), &root, &parent, &children, &count))
        return 0;
    int mapped = 0;
    for (unsigned i = 0; i < count; ++i) {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(x, children[i], &attributes) && attributes.map_state == IsViewable)
            ++mapped;
    }
    if (children != nullptr)
        XFree(children);
    return mapped;
}

}
