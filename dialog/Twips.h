#pragma once

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

} // namespace quillora
