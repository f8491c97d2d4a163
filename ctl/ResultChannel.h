// Where the tool's own results go. The device layer prints a few diagnostic
// lines ("devname: ...", "WB mode: ...") on standard output; so that they
// cannot mix with results that scripts read, file descriptor 1 is pointed at
// the null device (or at standard error with --verbose) and the results are
// written to a duplicate of the original standard output.
#pragma once

#include <QFile>

namespace vidorra::ctl {

class ResultChannel {
public:
    explicit ResultChannel(bool verbose);
    ~ResultChannel();
    ResultChannel(const ResultChannel &) = delete;
    ResultChannel &operator=(const ResultChannel &) = delete;

    QIODevice *device() { return &results; }

private:
    int savedStdout = -1;
    QFile results;
};

}  // namespace vidorra::ctl
