#include "Printable.h"

namespace vidorra::remembered {

QString printable(const QString &text)
{
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        const ushort u = c.unicode();
        if (u < 0x20 || (u >= 0x7F && u < 0xA0))
            result += QStringLiteral("\\x%1").arg(u, 2, 16, QLatin1Char('0'));
        else
            result += c;
    }
    return result;
}

}  // namespace vidorra::remembered
