#include "TestCard.h"

#include "SimCamera.h"
#include "TestCardLayout.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <array>

namespace vidorra::sim {
namespace {

int signedByte(std::uint8_t byte) { return byte > 128 ? int(byte) - 256 : int(byte); }

// A colour cast per image style, so each preset looks different.
QColor styleTint(int style)
{
    static const std::array<QColor, 7> tints{{
        QColor(0, 0, 0, 0),          // Normal
        QColor(0, 40, 90, 50),       // Clarity
        QColor(255, 255, 210, 70),   // Bright
        QColor(120, 60, 160, 50),    // PC
        QColor(40, 160, 255, 50),    // Clarity(LED)
        QColor(255, 140, 110, 60),   // Face
        QColor(128, 128, 128, 40),   // Default
    }};
    return style >= 0 && style < int(tints.size()) ? tints[std::size_t(style)] : QColor(0, 0, 0, 0);
}

}  // namespace

QImage drawTestCard(const SimCamera &camera, const QSize &size, int frameNumber)
{
    QImage image(size, QImage::Format_RGB32);
    const int w = size.width();
    const int h = size.height();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    // Colour bars, shifted by the red and blue gains.
    const int red = signedByte(camera.value(selector::RedGain));
    const int blue = signedByte(camera.value(selector::BlueGain));
    for (std::size_t i = 0; i < card::kBars.size(); ++i)
        p.fillRect(QRect(card::barLeft(int(i), w), 0, card::barWidth(w), card::barsHeight(h)),
                   QColor(QRgb(card::barColour(i, red, blue))));
    p.fillRect(QRect(0, card::barsHeight(h), w, h - card::barsHeight(h)), QColor(QRgb(card::kBelowBars)));

    // An arrow in the upper left that shows the flips at a glance.
    QPainterPath arrow;
    arrow.moveTo(w * 0.06, h * 0.30);
    arrow.lineTo(w * 0.16, h * 0.08);
    arrow.lineTo(w * 0.26, h * 0.30);
    arrow.lineTo(w * 0.19, h * 0.30);
    arrow.lineTo(w * 0.19, h * 0.55);
    arrow.lineTo(w * 0.13, h * 0.55);
    arrow.lineTo(w * 0.13, h * 0.30);
    arrow.closeSubpath();
    p.fillPath(arrow, QColor(20, 20, 20));

    QFont font = p.font();
    font.setPixelSize(std::max(10, h / 12));
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(QRect(0, h / 4, w, h / 6), Qt::AlignCenter, QString::fromStdString(camera.friendlyName()));

    // A moving marker so a live picture is told from a frozen one.
    const int x = (frameNumber * 6) % std::max(1, w);
    p.fillRect(QRect(x, h * 2 / 3 + 4, w / 40 + 2, h / 20 + 2), QColor(0, 122, 217));

    p.setPen(Qt::white);
    font.setPixelSize(std::max(8, h / 20));
    font.setBold(false);
    p.setFont(font);
    p.drawText(QRect(8, h * 2 / 3 + h / 12, w - 16, h / 4), Qt::AlignLeft | Qt::AlignTop,
               QStringLiteral("style %1  NR2D %2  NR3D %3  DRC %4  R %5  B %6")
                   .arg(camera.value(selector::ImageStyle))
                   .arg(camera.value(selector::Nr2d))
                   .arg(camera.value(selector::Nr3d))
                   .arg(camera.value(selector::Drc))
                   .arg(signedByte(camera.value(selector::RedGain)))
                   .arg(signedByte(camera.value(selector::BlueGain))));

    const QColor tint = styleTint(camera.value(selector::ImageStyle));
    if (tint.alpha() > 0)
        p.fillRect(image.rect(), tint);
    p.end();

    const bool flipH = camera.value(selector::FlipH) == 1;
    const bool flipV = camera.value(selector::FlipV) == 1;
    return flipH || flipV ? image.mirrored(flipH, flipV) : image;
}

}  // namespace vidorra::sim
