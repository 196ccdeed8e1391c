#include "app/PreviewWindow.h"

#include "app/PreviewPixels.h"
#include "app/RunModeSignals.h"
#include "platform/RegistryString.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <memory>
#include <poll.h>
#include <unistd.h>
#include <vector>

namespace tarnwood {

namespace {

// X reports errors asynchronously; the preview only needs to know whether
// any request failed since the last check.
bool xErrorSeen = false;

int RecordXError(::Display*, XErrorEvent*)
{
    xErrorSeen = true;
    return 0;
}

// The host has gone away together with its pane: a normal end of the preview.
int EndOnConnectionLoss(::Display*)
{
    _exit(0);
}

struct DisplayClose {
    void operator()(::Display* display) const { XCloseDisplay(display); }
};

// One component of a TrueColor pixel: an 8-bit value scaled to the mask.
unsigned long Component(std::uint32_t value8, unsigned long mask)
{
    if (mask == 0)
        return 0;
    int shift = 0;
    while (((mask >> shift) & 1UL) == 0)
        ++shift;
    const unsigned long maximum = mask >> shift;
    return ((value8 * maximum + 127) / 255) << shift;
}

class PreviewPane {
public:
    PreviewPane(::Display* display, Window pane) : display(display), previewParent(pane) {}

    // Creates the child window over the whole pane. False when the pane does
    // not exist or the window could not be made.
    bool Open()
    {
        XWindowAttributes attributes;
        if (!XGetWindowAttributes(display, previewParent, &attributes) || xErrorSeen)
            return false;
        if (attributes.c_class != InputOutput)
            return false;
        previewWidth = attributes.width;
        previewHeight = attributes.height;
        visual = attributes.visual;
        depth = attributes.depth;

        // No background: the server leaves the pane alone and every exposure
        // is painted whole by Paint.
        XSetWindowAttributes settings{};
        settings.background_pixmap = None;
        settings.event_mask = ExposureMask | StructureNotifyMask;
        window = XCreateWindow(display, previewParent, 0, 0, static_cast<unsigned>(previewWidth),
                               static_cast<unsigned>(previewHeight), 0, depth, InputOutput, visual,
                               CWBackPixmap | CWEventMask, &settings);
        gc = XCreateGC(display, window, 0, nullptr);
        XMapWindow(display, window);
        XSync(display, False);
        return !xErrorSeen;
    }

    // Paints on every exposure until the child window is destroyed or a
    // stop signal arrives.
    void Run()
    {
        XEvent event;
        for (;;) {
            while (XPending(display) > 0) {
                XNextEvent(display, &event);
                if (event.type == Expose && event.xexpose.window == window && event.xexpose.count == 0)
                    Paint();
                else if (event.type == DestroyNotify && event.xdestroywindow.window == window)
                    return;
            }
            if (StopSignalReceived())
                return;
            pollfd ready[2] = {{ConnectionNumber(display), POLLIN, 0}, {StopSignalDescriptor(), POLLIN, 0}};
            poll(ready, 2, -1);
        }
    }

private:
    void Paint()
    {
        if (previewWidth != kPreviewPictureWidth || visual->c_class != TrueColor) {
            XSetForeground(display, gc, BlackPixel(display, DefaultScreen(display)));
            XFillRectangle(display, window, gc, 0, 0, static_cast<unsigned>(previewWidth),
                           static_cast<unsigned>(previewHeight));
            XFlush(display);
            return;
        }
        const std::vector<std::uint32_t> colours = PreviewPixels(previewWidth, previewHeight,
                                                                 InstallDirectory().Join("preview.ppk"));
        XImage* image = XCreateImage(display, visual, static_cast<unsigned>(depth), ZPixmap, 0, nullptr,
                                     static_cast<unsigned>(previewWidth), static_cast<unsigned>(previewHeight), 32, 0);
        if (!image)
            return;
        std::vector<char> bytes(static_cast<std::size_t>(image->bytes_per_line) * static_cast<std::size_t>(previewHeight));
        image->data = bytes.data();
        for (int y = 0; y < previewHeight; ++y) {
            for (int x = 0; x < previewWidth; ++x) {
                const std::uint32_t rgb = colours[static_cast<std::size_t>(y) * static_cast<std::size_t>(previewWidth)
                                                  + static_cast<std::size_t>(x)];
                XPutPixel(image, x, y,
                          Component((rgb >> 16) & 0xFF, visual->red_mask) | Component((rgb >> 8) & 0xFF, visual->green_mask)
                              | Component(rgb & 0xFF, visual->blue_mask));
            }
        }
        XPutImage(display, window, gc, image, 0, 0, 0, 0, static_cast<unsigned>(previewWidth),
                  static_cast<unsigned>(previewHeight));
        // The pixel bytes belong to the vector, not to Xlib.
        image->data = nullptr;
        XDestroyImage(image);
        XFlush(display);
    }

    ::Display* display;
    Window previewParent;
    int previewWidth = 0;
    int previewHeight = 0;
    Visual* visual = nullptr;
    int depth = 0;
    Window window = 0;
    GC gc = nullptr;
};

}

void RunPreviewWindow(unsigned long paneWindow)
{
    CatchStopSignals();
    std::unique_ptr<::Display, DisplayClose> display(XOpenDisplay(nullptr));
    if (!display)
        return;
    xErrorSeen = false;
    XSetErrorHandler(RecordXError);
    XSetIOErrorHandler(EndOnConnectionLoss);
    PreviewPane pane(display.get(), paneWindow);
    if (pane.Open())
        pane.Run();
}

}
