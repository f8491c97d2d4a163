#include "ResultChannel.h"

#include <cstdio>
#include <fcntl.h>

#ifdef _WIN32
#include <io.h>
#define VIDORRA_DUP _dup
#define VIDORRA_DUP2 _dup2
#define VIDORRA_CLOSE _close
#define VIDORRA_OPEN _open
#define VIDORRA_NULL_DEVICE "NUL"
#define VIDORRA_WRITE_ONLY _O_WRONLY
#else
#include <unistd.h>
#define VIDORRA_DUP dup
#define VIDORRA_DUP2 dup2
#define VIDORRA_CLOSE close
#define VIDORRA_OPEN open
#define VIDORRA_NULL_DEVICE "/dev/null"
#define VIDORRA_WRITE_ONLY O_WRONLY
#endif

namespace vidorra::ctl {

ResultChannel::ResultChannel(bool verbose)
{
    std::fflush(stdout);
    const int out = fileno(stdout);
    const int saved = VIDORRA_DUP(out);
    const int target = verbose ? VIDORRA_DUP(fileno(stderr)) : VIDORRA_OPEN(VIDORRA_NULL_DEVICE, VIDORRA_WRITE_ONLY);
    if (saved >= 0 && target >= 0 && VIDORRA_DUP2(target, out) >= 0
        && results.open(saved, QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        savedStdout = saved;
    } else {
        // Without descriptors to spare the results share standard output.
        if (saved >= 0)
            VIDORRA_CLOSE(saved);
        results.open(stdout, QIODevice::WriteOnly | QIODevice::Unbuffered);
    }
    if (target >= 0)
        VIDORRA_CLOSE(target);
}

ResultChannel::~ResultChannel()
{
    results.close();
    if (savedStdout >= 0) {
        std::fflush(stdout);
        VIDORRA_DUP2(savedStdout, fileno(stdout));
        VIDORRA_CLOSE(savedStdout);
    }
}

}  // namespace vidorra::ctl
