// The test card's eight colour bars (make_test_card.py): bar i spans
// x 80i..80i+79, y 0..319 of the 640x480 picture.
#pragma once

#include <QColor>

#include <array>
#include <cstdlib>

namespace testcard {

constexpr std::array<QRgb, 8> kBars{{qRgb(255, 255, 255), qRgb(255, 255, 0), qRgb(0, 255, 255), qRgb(0, 255, 0),
                                     qRgb(255, 0, 255), qRgb(255, 0, 0), qRgb(0, 0, 255), qRgb(0, 0, 0)}};

// Every channel of `a` within `tolerance` of `b`'s: what survives of a colour
// through JPEG (and, on screen, a conversion and a scaling).
inline bool near(QRgb a, QRgb b, int tolerance)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

}  // namespace testcard
