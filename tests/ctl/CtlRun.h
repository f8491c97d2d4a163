// One run of vidorra-ctl in-process, under the name a program gives it.
#pragma once

#include "Ctl.h"

#include <QStringList>
#include <QTextStream>

namespace ctlrun {

struct Run {
    int code = -1;
    QString out;
    QString err;
};

inline Run runAs(const QString &program, QStringList args)
{
    args.prepend(program);
    Run r;
    QTextStream out(&r.out);
    QTextStream err(&r.err);
    r.code = vidorra::ctl::runCtl(args, out, err);
    out.flush();
    err.flush();
    return r;
}

}  // namespace ctlrun
