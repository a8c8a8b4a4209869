#pragma once

// Window designs are given in twips (1440 per inch) and point sizes; the
// windows are laid out at 96 dots per inch, 15 twips to the pixel, whatever the
// screen, so that the blink boxes keep standing under the characters.

#include <QFont>
#include <QRect>
#include <QString>
#include <QStringView>

#include <cmath>

namespace torsa::twips {

inline constexpr int kTwipsPerPixel = 15;
inline constexpr double kPixelsPerPoint = 96.0 / 72.0;

constexpr int toPixels(int twips)
{
    return twips / kTwipsPerPixel;
}

constexpr QRect rect(int left, int top, int width, int height)
{
    return {toPixels(left), toPixels(top), toPixels(width), toPixels(height)};
}

// The two fonts of the design: captions, and the fixed-pitch text boxes.
inline constexpr QStringView kCaptionFamily = u"MS Sans Serif";
inline constexpr QStringView kFixedFamily = u"Courier New";

// "MS Sans Serif" is not on Linux desktops: bold captions take the metric twin of
// Arial, plain ones its narrow cut, so that every caption fits its designed width.
// Windows has it as a bitmap font, which Qt does not draw: its TrueType cut,
// "Microsoft Sans Serif", stands in.
inline QFont font(QStringView family, double points, bool bold)
{
    QFont f(family.toString());
#ifdef Q_OS_WIN
    if (family == kCaptionFamily)
        f.setFamilies({family.toString(), QStringLiteral("Microsoft Sans Serif")});
#else
    if (family == kCaptionFamily)
        f.setFamilies(
            {family.toString(), bold ? QStringLiteral("Liberation Sans") : QStringLiteral("Liberation Sans Narrow")});
#endif
    f.setPixelSize(static_cast<int>(std::lround(points * kPixelsPerPoint)));
    f.setBold(bold);
    return f;
}

inline QFont captionFont(double points, bool bold)
{
    return font(kCaptionFamily, points, bold);
}

inline QFont fixedFont(double points, bool bold)
{
    return font(kFixedFamily, points, bold);
}

} // namespace torsa::twips
