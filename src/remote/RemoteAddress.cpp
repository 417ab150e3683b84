#include "remote/RemoteAddress.h"

std::optional<TRemoteAddress> ParseRemoteAddress(const QString& text)
{
    TRemoteAddress address;
    const qsizetype colon = text.lastIndexOf(u':');
    const QString portText = text.mid(colon + 1);
    bool digitsOnly = !portText.isEmpty() && portText.size() <= 5;
    for (const QChar c : portText)
        digitsOnly = digitsOnly && c >= u'0' && c <= u'9';
    const uint port = portText.toUInt();
    if (!digitsOnly || port > 65535)
        return std::nullopt;
    address.Port = static_cast<quint16>(port);
    if (colon < 0)
        return address;

    QString host = text.left(colon);
    const bool bracketed = host.startsWith(u'[') && host.endsWith(u']');
    if (bracketed)
        host = host.mid(1, host.size() - 2);
    if (host.compare(QStringLiteral("localhost"), Qt::CaseInsensitive) == 0)
        return address;
    // An IPv6 address needs its brackets, so its last group is not taken for the port.
    if (!address.Address.setAddress(host)
        || bracketed != (address.Address.protocol() == QAbstractSocket::IPv6Protocol))
        return std::nullopt;
    return address;
}

QString RemoteAddressText(const TRemoteAddress& address)
{
    const QString host = address.Address.protocol() == QAbstractSocket::IPv6Protocol
                             ? u'[' + address.Address.toString() + u']'
                             : address.Address.toString();
    return host + u':' + QString::number(address.Port);
}
