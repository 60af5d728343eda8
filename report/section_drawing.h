#pragma once

#include <QImage>
#include <QPainter>
#include <QRectF>
#include <QString>

#include "model/section.h"

namespace brenmoor {

// The drawing of one prepared section (its fibers laid out), as the report
// prints it and the window saves it as a picture: the concrete cells as blue
// rectangles on a light grey face, the outline in black, every bar as a red
// disc with a black rim whose area is the bar's area to scale (at least
// 0.7 mm across on paper, so a thin bar stays visible), dimension lines for
// B (below), H (left) and CC (right, from the top face to the top bars), and
// the axes through the centre: x to the right labelled "3 (x)", y upwards
// labelled "2 (y)". The colours also read as distinct greys in black and white.
//
// unit is painter units per millimetre of paper (10 for a painter in tenths
// of a millimetre, the pixel density for a picture); it sizes lines, texts and
// the space around the section for the dimensions. scale is painter units per
// millimetre of the section.
void DrawSection(QPainter& painter, const QRectF& area, const TSECTION& section, double unit,
                 double scale);

// The largest scale (painter units per section mm) at which DrawSection fits
// the section and its dimensions into area; 0 for a section with no extent.
double FitScale(const QRectF& area, const TSECTION& section, double unit);

// The scale 1:n with the smallest n among 1, 2, 2.5, 5 times a power of ten
// (n >= 1) at which a drawing fits: unit / n <= fit_scale.
// Example: with unit 10 and fit_scale 0.45, 1:25.
double StandardScaleDenominator(double fit_scale, double unit);

// The drawing of one prepared section as a square picture of pixels × pixels
// on white, with title above it, drawn by DrawSection at the largest scale
// that fits (as if on paper of 100 mm square).
QImage SectionPicture(const TSECTION& section, const QString& title, int pixels);

}  // namespace brenmoor
