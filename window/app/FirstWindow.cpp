#include "app/FirstWindow.h"

#include <QFontMetrics>
#include <QThread>
#include <QWindow>

#include <memory>

namespace vidorra {

void makeFirstWindowBesideFontSearch(QFont (*makeFont)())
{
    const std::unique_ptr<QThread> worker(QThread::create([makeFont] { QFontMetrics(makeFont()).height(); }));
    worker->start();
    QWindow first;
    first.create();
    worker->wait();
}

}  // namespace vidorra
