#pragma once

namespace tarnwood::test {

// Opens (once per process) a small windowed OpenGL surface through SDL so that
// GL calls in tests run against the real Mesa implementation. The surface is
// width x height pixels, double-buffered, with a 24-bit depth buffer; the GL
// state is left at OpenGL's defaults except for the viewport. Calling it again
// with another size re-opens the video mode at that size. Fails the calling
// test (ASSERT-style, returns false) when no display can be opened.
bool EnsureGlContext(int width = 64, int height = 64);

// Closes the SDL video subsystem opened by EnsureGlContext, if any.
void CloseGlContext();

}
