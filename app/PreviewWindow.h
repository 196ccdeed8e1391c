#pragma once

namespace tarnwood {

// Shows the preview in the host's preview pane, the X window `paneWindow` on
// the display named by $DISPLAY: creates a child window that fills the pane
// and paints PreviewPixels of "preview.ppk" of the install directory into it
// on every exposure. Returns when the pane (and with it the child window) is
// destroyed or a stop signal (SIGTERM, SIGINT, SIGHUP) arrives; at once, with nothing drawn, when the display cannot be opened
// or the pane does not exist. Ends the process with exit code 0 when the
// connection to the X server breaks, because Xlib allows no return from that.
void RunPreviewWindow(unsigned long paneWindow);

}
