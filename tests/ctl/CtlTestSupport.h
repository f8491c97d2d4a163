// vidorra-ctl run in-process on the simulated cameras, and what reached them.
#pragma once

#include "CtlRun.h"
#include "CaptureDevice.h"
#include "PlatformTestSupport.h"

#include <QStringList>
#include <QTest>
#include <QTextStream>

#include <memory>
#include <string>

namespace ctltest {

// A second simulated camera of the same model, on another USB port.
constexpr char secondPath[] = "@device:pnp:\\\\?\\usb#vid_f0f0&pid_0102&mi_00#8&2b3c4d5e&0&0000#"
                              "{65e8773d-8f56-11d0-a3b9-00a0c9223196}\\global";

using vidorra::sim::CallKind;
using vidorra::sim::SimHub;

using ctlrun::Run;

inline Run run(const QStringList &args) { return ctlrun::runAs(QStringLiteral("vidorra-ctl-sim"), args); }

// "selector:byte,byte" for every Set that reached a camera (at `device`, or any).
inline QStringList sets(const std::string &device = std::string(), bool onlySucceeded = false)
{
    QStringList result;
    for (const auto &call : simHub().calls()) {
        if (call.kind != CallKind::Set || (!device.empty() && call.device != device))
            continue;
        if (onlySucceeded && !vidorra::succeeded(call.status))
            continue;
        QStringList bytes;
        for (const auto b : call.bytes)
            bytes << QString::number(b);
        result << QStringLiteral("%1:%2").arg(call.selector).arg(bytes.join(QLatin1Char(',')));
    }
    return result;
}

// Selectors of the Gets that a camera answered, in order.
inline QList<int> gets()
{
    QList<int> result;
    for (const auto &call : simHub().calls())
        if (call.kind == CallKind::Get && vidorra::succeeded(call.status))
            result << int(call.selector);
    return result;
}

inline std::shared_ptr<vidorra::sim::SimCamera> simCamera()
{
    return simHub().camera(vidorra::sim::kSimCameraPath);
}

// Fresh cameras, the plain simulated port, nothing bound.
inline void resetSim() { vidorra::sim::installSimPlatform(); }

}  // namespace ctltest
