#include "Steps.h"

#include "DiagCommon.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace diag {

namespace {

std::vector<std::string> split(const std::string &s)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t colon = s.find(':', start);
        parts.push_back(s.substr(start, colon - start));
        if (colon == std::string::npos)
            return parts;
        start = colon + 1;
    }
}

std::string joined(const std::vector<std::string> &nodes)
{
    std::string s;
    for (const std::string &n : nodes)
        s += (s.empty() ? "" : ",") + n;
    return s.empty() ? "none" : s;
}

bool exists(const std::string &path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

void sleepMs(long long ms) { ::usleep(useconds_t(ms * 1000)); }

}  // namespace

int steps(const std::string &dev, const std::vector<std::string> &list, bool timed)
{
    std::vector<int> open;  // every descriptor opened, closed at the end
    int current = -1;
    std::string found;
    for (const std::string &step : list) {
        const std::vector<std::string> p = split(step);
        const long long start = nowMs();
        auto endLine = [&]() {
            if (timed)
                std::printf(" ms=%lld", nowMs() - start);
            std::printf("\n");
        };
        if (p[0] == "open") {
            const std::string path = p.size() < 2 ? dev : p[1] == "found" ? found : p[1];
            current = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
            const int e = current < 0 ? errno : 0;
            if (current >= 0)
                open.push_back(current);
            std::printf("DIAG step open %s rc=%d errno=%s", path.c_str(), current < 0 ? -1 : 0, errnoName(e));
            endLine();
        } else if (p[0] == "close") {
            const int rc = ::close(current);
            const int e = rc < 0 ? errno : 0;
            for (int &fd : open)
                if (fd == current)
                    fd = -1;
            current = -1;
            std::printf("DIAG step close rc=%d errno=%s", rc, errnoName(e));
            endLine();
        } else if (p[0] == "xu" && (p.size() == 5 || p.size() == 6)) {
            // A bad query stops the run: the xu lines after it would be counted one off.
            if (xuQuery(current, p[1], p[2], p[3], p[4], p.size() == 6 ? p[5] : "", timed) == 2) {
                std::fprintf(stderr, "uvc-diag: bad step %s\n", step.c_str());
                return 2;
            }
        } else if (p[0] == "wait-gone" && p.size() == 2) {
            const long long until = start + 1000 * std::atoll(p[1].c_str());
            while (exists(dev) && nowMs() < until)
                sleepMs(50);
            std::printf("DIAG step wait-gone %s gone=%d", dev.c_str(), exists(dev) ? 0 : 1);
            endLine();
        } else if (p[0] == "wait-capture" && p.size() == 2) {
            const long long until = start + 1000 * std::atoll(p[1].c_str());
            std::vector<std::string> nodes = captureNodes(false);
            while (nodes.empty() && nowMs() < until) {
                sleepMs(100);
                nodes = captureNodes(false);
            }
            found = nodes.empty() ? "" : nodes.front();
            std::printf("DIAG step wait-capture node=%s", found.empty() ? "none" : found.c_str());
            endLine();
        } else if (p[0] == "nodes") {
            std::printf("DIAG step nodes capture=%s\n", joined(captureNodes(false)).c_str());
        } else {
            std::fprintf(stderr, "uvc-diag: bad step %s\n", step.c_str());
            return 2;
        }
    }
    for (int fd : open)
        if (fd >= 0)
            ::close(fd);
    return 0;
}

}  // namespace diag
