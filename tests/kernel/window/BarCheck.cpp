#include "BarCheck.h"

#include "TestCardBars.h"

#include <QStringList>

namespace vmwindow {
namespace {

using testcard::kBars;

// JPEG at quality 90, 4:2:0, then a colour conversion and a scaling: a bar's
// centre stays well within this of its colour.
constexpr int kTolerance = 48;
constexpr int kDarkest = 24;  // every channel below this: black

bool dark(QRgb c) { return qRed(c) < kDarkest && qGreen(c) < kDarkest && qBlue(c) < kDarkest; }

}  // namespace

QRect shownPictureRect(const QSize &area, const QSize &source)
{
    const QSize size = source.scaled(area, Qt::KeepAspectRatio);
    return QRect(QPoint((area.width() - size.width()) / 2, (area.height() - size.height()) / 2), size);
}

BarResult checkBars(const QImage &grab, const QSize &source)
{
    BarResult result;
    if (grab.isNull())
        return result;
    // pixel() reads any format: a frame is judged as delivered, without a copy.
    const QImage &image = grab;
    const QRect shown = shownPictureRect(image.size(), source);
    QStringList colours;
    bool allMatch = true;
    bool allDark = true;
    for (std::size_t i = 0; i < kBars.size(); ++i) {
        // Centre of bar i at half the bars' height, in source pixels, mapped into the shown rectangle.
        const double sx = (80.0 * double(i) + 40.0) / source.width();
        const double sy = 160.0 / source.height();
        const QPoint at(shown.x() + int(sx * shown.width()), shown.y() + int(sy * shown.height()));
        const QRgb c = image.rect().contains(at) ? image.pixel(at) : qRgb(0, 0, 0);
        colours << QString::asprintf("%02x%02x%02x", qRed(c), qGreen(c), qBlue(c));
        allMatch = allMatch && testcard::near(c, kBars[i], kTolerance);
        allDark = allDark && dark(c);
    }
    result.colours = colours.join(QLatin1Char(' '));
    result.verdict = allMatch ? BarVerdict::Ok : allDark ? BarVerdict::Black : BarVerdict::Wrong;
    return result;
}

const char *verdictName(BarVerdict verdict)
{
    switch (verdict) {
    case BarVerdict::Ok:
        return "ok";
    case BarVerdict::Black:
        return "black";
    case BarVerdict::Wrong:
        break;
    }
    return "wrong";
}

}  // namespace vmwindow
