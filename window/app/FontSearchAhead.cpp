#include "app/FontSearchAhead.h"

#include <QFontMetrics>
#include <QThread>

namespace vidorra {

FontSearchAhead::FontSearchAhead(QFont (*makeFont)())
    : worker(QThread::create([makeFont] { QFontMetrics(makeFont()).height(); }))
{
    worker->start();
}

FontSearchAhead::~FontSearchAhead()
{
    worker->wait();
}

}  // namespace vidorra
