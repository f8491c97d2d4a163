#include "app/FontSubstitute.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QStringList>

namespace vidorra {
#ifndef Q_OS_WIN
namespace {
QString firstAvailable(const QStringList &families, std::initializer_list<const char *> candidates)
{
    for (const char *candidate : candidates)
        if (families.contains(QLatin1String(candidate), Qt::CaseInsensitive))
            return QLatin1String(candidate);
    return QString();
}
}  // namespace
#endif

void adoptFormFonts()
{
#ifndef Q_OS_WIN
    const QStringList families = QFontDatabase().families();
    const QString narrow = firstAvailable(families, {"Liberation Sans Narrow", "Arial Narrow"});
    if (narrow.isEmpty())
        return;
    if (!families.contains(QStringLiteral("Arial"), Qt::CaseInsensitive))
        QFont::insertSubstitution(QStringLiteral("Arial"), narrow);
    // Texts without a style-sheet font (the preset captions) use the
    // application font, on Windows 8 pt "MS Shell Dlg 2".
    if (qobject_cast<QApplication *>(QCoreApplication::instance())) {
        QFont font(narrow);
        font.setPointSize(9);
        QApplication::setFont(font);
    }
#endif
}

}  // namespace vidorra
