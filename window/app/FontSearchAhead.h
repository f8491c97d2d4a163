// Qt's Windows font database reads the names of every installed font once,
// the first time a font request has no exact match: a tenth of a second or
// more, which the form's first font request would wait for. A request for
// the status label's light face never matches exactly, so a worker asking
// for it makes that search while the window does other slow work.
#pragma once

#include <QFont>

#include <memory>

class QThread;

namespace vidorra {

class FontSearchAhead {
public:
    // Resolves the font that makeFont returns on a worker thread. The font is
    // made there: a QFont shared with this thread would be resolved by both.
    explicit FontSearchAhead(QFont (*makeFont)());
    // Waits for the worker.
    ~FontSearchAhead();
    FontSearchAhead(const FontSearchAhead &) = delete;
    FontSearchAhead &operator=(const FontSearchAhead &) = delete;

private:
    std::unique_ptr<QThread> worker;
};

}  // namespace vidorra
