#pragma once

#include <QRect>

namespace quillora {

/// Stored positions and sizes are in twips: 1440 per inch, 15 per device-independent pixel.
inline constexpr int TwipsPerPixel = 15;

/// Twips to the nearest whole pixel.
constexpr int toPixels(int twips)
{
    return twips >= 0 ? (twips + TwipsPerPixel / 2) / TwipsPerPixel
                      : -((-twips + TwipsPerPixel / 2) / TwipsPerPixel);
}

constexpr int toTwips(int pixels)
{
    return pixels * TwipsPerPixel;
}

/// A rectangle in twips to pixels, each value to the nearest whole pixel.
constexpr QRect toPixels(const QRect& twips)
{
    return QRect(toPixels(twips.x()), toPixels(twips.y()), toPixels(twips.width()),
        toPixels(twips.height()));
}

constexpr QRect toTwips(const QRect& pixels)
{
    return QRect(toTwips(pixels.x()), toTwips(pixels.y()), toTwips(pixels.width()),
        toTwips(pixels.height()));
}

} // namespace quillora
