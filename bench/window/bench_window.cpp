// Run with QT_QPA_PLATFORM=offscreen. Real mouse input through QTest, as a user gives it.
#define QTEST_QPA_MOUSE_HANDLING
#include <QtTest>

#include "app/MainWindow.h"
#include "CaptureDevice.h"
#include "SimPlatform.h"
#include "ui_MainWindow.h"

#include <QApplication>
#include <QCameraViewfinder>
#include <QPushButton>
#include <QSlider>
#include <QStyleOptionSlider>

#include <benchmark/benchmark.h>

Q_IMPORT_PLUGIN(SimCameraPlugin)

namespace {

vidorra::sim::SimHub &simHub() { return *vidorra::sim::installedSimHub(); }

void quietMessages(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        fprintf(stderr, "%s\n", qPrintable(message));
}

struct Session {
    std::unique_ptr<MainWindow> window;
    QPushButton *open = nullptr;
    Session()
    {
        vidorra::sim::installSimPlatform();
        window = std::make_unique<MainWindow>();
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get()))
            fprintf(stderr, "window not exposed\n");
        for (QPushButton *b : window->findChildren<QPushButton *>())
            if (b->text() == QLatin1String("Open Camera"))
                open = b;
    }
};

// Counts the viewfinder's paints: a paint after "Open Camera" shows a frame.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

void BM_OpenCameraToSettingsShown(benchmark::State &state)
{
    Session s;
    for (auto _ : state) {
        QTest::mouseClick(s.open, Qt::LeftButton);  // binds, reads and fills the form synchronously
        state.PauseTiming();
        simHub().clearCalls();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenCameraToSettingsShown)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_OpenCameraToFirstFrame(benchmark::State &state)
{
    Session s;
    PaintCounter counter;
    // The video widget paints through a child on some styles; watch them all.
    s.window->previewViewfinder()->installEventFilter(&counter);
    for (QWidget *child : s.window->previewViewfinder()->findChildren<QWidget *>())
        child->installEventFilter(&counter);
    for (auto _ : state) {
        counter.paints = 0;
        QTest::mouseClick(s.open, Qt::LeftButton);
        QElapsedTimer guard;
        guard.start();
        while (counter.paints == 0 && guard.elapsed() < 2000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (counter.paints == 0)
            state.SkipWithError("no frame was painted");
        state.PauseTiming();
        simHub().clearCalls();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenCameraToFirstFrame)->Unit(benchmark::kMillisecond)->UseRealTime();

// One reported position of a drag of the DRC slider: one Set to the camera.
void BM_SliderStep(benchmark::State &state)
{
    Session s;
    QTest::mouseClick(s.open, Qt::LeftButton);
    QSlider *slider = s.window->form()->horizontalSlider_DRC;
    QStyleOptionSlider opt;
    opt.initFrom(slider);
    opt.orientation = slider->orientation();
    opt.minimum = slider->minimum();
    opt.maximum = slider->maximum();
    opt.sliderPosition = slider->sliderPosition();
    opt.sliderValue = slider->value();
    const QRect handle = slider->style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderHandle, slider);
    const QPoint start = handle.center();
    const int step = slider->width() / 9;
    QTest::mousePress(slider, Qt::LeftButton, Qt::NoModifier, start);
    bool right = true;
    std::size_t sets = 0;
    for (auto _ : state) {
        const std::size_t before = simHub().calls().size();
        QTest::mouseMove(slider, QPoint(start.x() + (right ? step : 0), start.y()));
        right = !right;
        sets += simHub().calls().size() - before;
        state.PauseTiming();
        simHub().clearCalls();
        state.ResumeTiming();
    }
    QTest::mouseRelease(slider, Qt::LeftButton, Qt::NoModifier, start);
    state.counters["port calls per step"] = benchmark::Counter(double(sets), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_SliderStep)->Unit(benchmark::kMicrosecond);

// One click on a switch after this many earlier updates of it: its style sheet
// holds the form's style and one rule, so the cost does not grow with use.
void BM_SwitchUpdateAfter(benchmark::State &state)
{
    Session s;
    QTest::mouseClick(s.open, Qt::LeftButton);
    Ui_MainWindow *ui = s.window->form();
    QTest::mouseClick(ui->label_SetUp, Qt::LeftButton);
    QPushButton *flip = ui->pushButton_FlipV;
    for (std::int64_t i = 0; i < state.range(0); ++i)
        QTest::mouseClick(flip, Qt::LeftButton);
    simHub().clearCalls();
    for (auto _ : state)
        QTest::mouseClick(flip, Qt::LeftButton);
    state.counters["sheet chars"] = double(flip->styleSheet().size());
}
BENCHMARK(BM_SwitchUpdateAfter)->Arg(10)->Arg(10000)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    qInstallMessageHandler(quietMessages);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
