// The tooltip a refused change shows, for the suites on any backend.
#pragma once

#include <QString>
#include <QStringList>
#include <QToolTip>

namespace testsupport {

// The refusal tooltip: its first line, and on the second the reason, when given.
inline bool refusalShown(const QString &reason = QString())
{
    if (!QToolTip::isVisible())
        return false;
    const QStringList lines = QToolTip::text().split(QLatin1Char('\n'));
    return lines.size() == 2 && lines[0] == QLatin1String("The camera did not accept the change.") &&
           !lines[1].isEmpty() && (reason.isEmpty() || lines[1] == reason);
}

}  // namespace testsupport
