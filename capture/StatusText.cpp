#include "StatusText.h"

#include "CapturePlatform.h"

namespace vidorra {

QString statusText(Status s)
{
    switch (s) {
    case status::NotBound:
        return QStringLiteral("no camera is open");
    case status::Fail:
        return QStringLiteral("the camera failed the request");
    case status::NotImplemented:
        return QStringLiteral("the camera's driver does not offer this");
    case status::NoInterface:
        return QStringLiteral("the camera does not offer this control");
    case status::InvalidArgument:
        return QStringLiteral("the camera refused the value");
    case status::NotFound:
        return QStringLiteral("no vendor extension unit of the camera carries this control");
    case status::NoSuchDevice:
        return QStringLiteral("the camera is gone (unplugged or rebooting)");
    case status::InsufficientBuffer:
        return QStringLiteral("the camera answered more bytes than the control holds");
    case status::AccessDenied:
        return QStringLiteral("permission denied");
    default:
        break;
    }
    if (meansGone(s))
        return statusText(status::NoSuchDevice);
    const std::string own = installedPlatform().port().statusText(s);
    if (!own.empty())
        return QString::fromStdString(own);
    return QStringLiteral("error 0x%1").arg(quint32(s), 8, 16, QLatin1Char('0'));
}

}  // namespace vidorra
