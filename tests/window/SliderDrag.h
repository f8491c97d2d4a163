// A slider dragged by its handle with real mouse input, as a user drags it:
// the handle's geometry comes from the slider's own style.
#pragma once

#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QtTest>

#include <vector>

namespace testsupport {

// Geometry of a slider's handle, as the slider itself computes it.
inline QStyleOptionSlider sliderOption(const QSlider *s)
{
    QStyleOptionSlider opt;
    opt.initFrom(s);
    opt.subControls = QStyle::SC_None;
    opt.activeSubControls = QStyle::SC_None;
    opt.orientation = s->orientation();
    opt.maximum = s->maximum();
    opt.minimum = s->minimum();
    opt.tickPosition = s->tickPosition();
    opt.tickInterval = s->tickInterval();
    opt.upsideDown = (s->orientation() == Qt::Horizontal) ? (s->invertedAppearance() != (opt.direction == Qt::RightToLeft))
                                                          : (!s->invertedAppearance());
    opt.direction = Qt::LeftToRight;
    opt.sliderPosition = s->sliderPosition();
    opt.sliderValue = s->value();
    opt.singleStep = s->singleStep();
    opt.pageStep = s->pageStep();
    return opt;
}

inline QRect handleRect(const QSlider *s)
{
    const QStyleOptionSlider opt = sliderOption(s);
    return s->style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderHandle, s);
}

// x within the slider at which a handle grabbed at its centre shows `value`.
inline int handleXFor(const QSlider *s, int value)
{
    const QStyleOptionSlider opt = sliderOption(s);
    const QRect groove = s->style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderGroove, s);
    const QRect handle = s->style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderHandle, s);
    const int span = groove.right() - handle.width() + 1 - groove.x();
    return groove.x() + QStyle::sliderPositionFromValue(s->minimum(), s->maximum(), value, span) + handle.width() / 2;
}

// A real drag: press on the handle, move through each value, release.
inline void dragSlider(QSlider *s, const std::vector<int> &values)
{
    const QRect handle = handleRect(s);
    const QPoint start = handle.center();
    QTest::mousePress(s, Qt::LeftButton, Qt::NoModifier, start);
    for (int v : values)
        QTest::mouseMove(s, QPoint(handleXFor(s, v), start.y()));
    QTest::mouseRelease(s, Qt::LeftButton, Qt::NoModifier, QPoint(handleXFor(s, values.back()), start.y()));
}

}  // namespace testsupport
