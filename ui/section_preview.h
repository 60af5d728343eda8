#pragma once

#include <QImage>
#include <cstdint>

#include "model/section.h"

namespace brenmoor {

// The preview square beside the grid, in pixels.
inline constexpr int kPreviewSize = 200;

// v rounded to the nearest integer, an exact half going to the even
// neighbour: 0.5 -> 0, 1.5 -> 2, 2.5 -> 2, -0.5 -> 0. A result outside the
// 32-bit range throws Error("Invalid floating point operation"), as the
// floating-point unit reports a failed conversion to an integer.
std::int32_t RoundHalfEven(long double v);

// Draws a section on canvas (any size; the window's is kPreviewSize square),
// antialiasing off, pen 1 px, in four colours: black, white, blue and red.
//  1. A white square over the whole canvas with a 1-pixel black frame.
//  2. Nothing more unless section.kind is kRectangularColumn.
//  3. Scale s = 160 / max(H, B) pixels per mm, centre at (100, 100), B to the
//     right and H downwards: the outline, FX - 1 vertical and FY - 1
//     horizontal blue lines between the concrete cells, a red 8 x 8 disc
//     around every bar centre (NX + 2 along the top and bottom faces, NY + 2
//     along the left and right faces, so each corner bar twice) and the text
//     "NUM OF FIBERS = n", n = 2·(NX + NY) + FX·FY + 4, with its top left at
//     (50, 180) on white.
// Every position is 100 ± RoundHalfEven(mm · s) with the millimetres formed in
// extended precision from the float32 fields; s itself is held as a double.
// Rectangles and discs cover their box without its right and bottom edge and
// lines leave out their end point, so the default 500 x 500 section has its
// outline on pixels 20 to 179.
// Example: H = B = 500, CC = 40, FX = FY = 6, NX = NY = 5 puts bar centres at
// x = 33, 55, 78, 100, 122, 145, 167 on y = 33 and y = 167.
// Throws Error("Floating point division by zero") when max(H, B) is 0 (and
// for NX or NY = -1), after the white square is drawn; what was drawn before
// the fault stays on the canvas.
void DrawSectionPreview(QImage& canvas, const TSECTION& section);

}  // namespace brenmoor
