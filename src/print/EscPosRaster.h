#pragma once

#include <QByteArray>
#include <QImage>

// A ticket as ESC/POS bytes: initialise (ESC @), the picture as raster bands (GS v 0), a
// feed and a partial cut (GS V). Raster needs no code page, so every letter and the barcode
// come out as drawn; the same picture always gives the same bytes.
namespace EscPosRaster {

// Rows per GS v 0 command: small enough for the receive buffer of common printers, and for a
// clean start to cost little on a slow serial line.
inline constexpr int kBandRows = 24;
// Lines fed after the picture, before the printer feeds on to its cutter.
inline constexpr int kFeedLines = 1;

// The picture in QImage::Format_Mono, bit 1 black (printed).
QByteArray Encode(const QImage& picture);

// Zero bytes enough to complete the largest band that a ticket of that width, cut off on an
// earlier connection, can have left the printer waiting for; outside a band they do nothing.
QByteArray CleanStart(int dots);

} // namespace EscPosRaster
