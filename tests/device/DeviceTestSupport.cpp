#include "DeviceTestSupport.h"

#include "SimCapturePort.h"


#include <cstdio>
#include <memory>
#include <unistd.h>

namespace devicetest {

using vidorra::sim::CallKind;
using vidorra::sim::PortCall;
using vidorra::sim::SimHub;

namespace {
QStringList capturedLines;

void collect(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtDebugMsg)
        capturedLines.append(message);
}
}  // namespace

void freshSimWorld() { vidorra::sim::installSimPlatform(); }

LogCapture::LogCapture() : previous(qInstallMessageHandler(collect)) { capturedLines.clear(); }
LogCapture::~LogCapture() { qInstallMessageHandler(previous); }
QStringList LogCapture::lines() const { return capturedLines; }

StdoutCapture::StdoutCapture()
{
    std::fflush(stdout);
    char name[] = "/tmp/vidorra-stdout-XXXXXX";
    file = mkstemp(name);
    if (file < 0)
        return;
    unlink(name);
    saved = dup(1);
    dup2(file, 1);
}

StdoutCapture::~StdoutCapture() { finish(); }

QString StdoutCapture::finish()
{
    if (file < 0)
        return text;
    std::fflush(stdout);
    dup2(saved, 1);
    close(saved);
    QByteArray bytes;
    lseek(file, 0, SEEK_SET);
    char chunk[4096];
    for (ssize_t n; (n = read(file, chunk, sizeof chunk)) > 0;)
        bytes.append(chunk, int(n));
    close(file);
    file = -1;
    text = QString::fromUtf8(bytes);
    return text;
}

std::vector<PortCall> callsOf(CallKind kind)
{
    std::vector<PortCall> out;
    for (const PortCall &call : simHub().calls())
        if (call.kind == kind)
            out.push_back(call);
    return out;
}

QString kindName(CallKind kind)
{
    switch (kind) {
    case CallKind::ListDevices: return QStringLiteral("ListDevices");
    case CallKind::OpenDevice: return QStringLiteral("OpenDevice");
    case CallKind::ProbeNode: return QStringLiteral("ProbeNode");
    case CallKind::QueryLength: return QStringLiteral("QueryLength");
    case CallKind::Get: return QStringLiteral("Get");
    case CallKind::Set: return QStringLiteral("Set");
    case CallKind::ReadWhiteBalance: return QStringLiteral("ReadWhiteBalance");
    case CallKind::ShowPropertyPages: return QStringLiteral("ShowPropertyPages");
    case CallKind::ListControls: return QStringLiteral("ListControls");
    case CallKind::GetControl: return QStringLiteral("GetControl");
    case CallKind::SetControl: return QStringLiteral("SetControl");
    }
    return QStringLiteral("?");
}

QString describeCalls()
{
    QStringList out;
    for (const PortCall &call : simHub().calls()) {
        QStringList bytes;
        for (std::uint8_t b : call.bytes)
            bytes << QString::number(b);
        out << QStringLiteral("%1 %2 node=%3 sel=%4 [%5] value=%6 status=%7")
                   .arg(kindName(call.kind), QString::fromStdString(call.device))
                   .arg(call.node)
                   .arg(call.selector)
                   .arg(bytes.join(QLatin1Char(' ')))
                   .arg(call.value)
                   .arg(call.status);
    }
    return out.join(QLatin1Char('\n'));
}

}  // namespace devicetest
