// The emulated camera's test card as the viewfinder shows it: eight colour
// bars across the upper two thirds of a 640x480 picture, which the widget
// scales to fit and centres. A grab of the viewfinder is judged at each bar's
// centre, so that a black, missing or wrongly coloured picture is told apart.
#pragma once

#include <QImage>
#include <QRect>
#include <QString>

namespace vmwindow {

enum class BarVerdict { Ok, Black, Wrong };

struct BarResult {
    BarVerdict verdict = BarVerdict::Wrong;
    QString colours;  // "rrggbb" of each bar centre, space-separated
};

// Where a picture of `source` size lands in a widget of `area` size, kept in
// proportion and centred (Qt::KeepAspectRatio).
QRect shownPictureRect(const QSize &area, const QSize &source = QSize(640, 480));

// Samples the bar centres of `grab` (the whole viewfinder widget).
BarResult checkBars(const QImage &grab, const QSize &source = QSize(640, 480));

const char *verdictName(BarVerdict verdict);

}  // namespace vmwindow
