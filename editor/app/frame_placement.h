#pragma once

#include <windows.h>

// Where the main frame goes when it opens an image from the command line:
// big enough for the image with 40 pixels to spare beyond the frame's own
// decorations, at most the work area and at least 400 x 400, placed so that
// the image's top-left pixel lands on (x, y) of the screen, where the
// capture was taken, and kept inside the work area.

// The frame's smallest size, in both directions; also its minimum tracking
// size.
constexpr int kFrameMinimumSize = 400;
// Room around the image beyond the decorations.
constexpr int kFrameImageSlack = 40;

struct FrameGeometry {
    RECT frame;     // the frame's window rectangle now (screen)
    RECT view;      // the view's window rectangle now (screen)
    RECT workArea;  // SPI_GETWORKAREA
    SIZE image;     // the image's size in pixels
};

struct FramePlacement {
    int left, top, width, height;
    // Set when x or y is negative: the caller centres the window keeping
    // the size found here.
    bool centre;
};

// Any x and y, however large, give a rectangle inside the work area (or at
// its top-left when the frame is larger than the work area); the arithmetic
// cannot overflow.
FramePlacement PlaceFrameOverImage(const FrameGeometry& geometry, long x, long y);
