// vidorra-ctl run in-process on the Linux backend over the fake kernel, and
// the Sets that reached the camera.
#pragma once

#include "CtlRun.h"
#include "FakeKernel.h"

#include <QStringList>
#include <QTextStream>

#include <linux/usb/video.h>

namespace ctllinux {

using ctlrun::Run;

inline Run run(const QStringList &args) { return ctlrun::runAs(QStringLiteral("vidorra-ctl"), args); }

// "node selector:bytes" of every SET_CUR that the driver carried out.
inline QStringList setCurs(const vidorra::test::FakeKernel &kernel)
{
    QStringList result;
    for (const vidorra::test::UvcRequest &r : kernel.uvcLog) {
        if (r.query != UVC_SET_CUR || r.error != 0)
            continue;
        QStringList bytes;
        for (const auto b : r.bytes)
            bytes << QString::number(b);
        result << QStringLiteral("%1 %2:%3").arg(QString::fromStdString(r.node)).arg(r.selector).arg(bytes.join(','));
    }
    return result;
}

}  // namespace ctllinux
