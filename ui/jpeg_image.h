#pragma once

#include <QByteArray>
#include <QImage>

namespace brenmoor {

// Decodes a baseline or progressive JPEG held in memory with libjpeg into an
// RGB image of the picture's own size. Damaged or truncated data (anything
// libjpeg warns about) throws
// Error("Cannot decode picture: <libjpeg's message>"); libjpeg's own habit of
// ending the process on an error is switched off.
// Example: DecodeJpeg(bytes of the 213 x 47 logo).size() == QSize(213, 47).
QImage DecodeJpeg(const QByteArray& bytes);

}  // namespace brenmoor
