#pragma once

#include <QHostAddress>
#include <QString>

#include <optional>

// Where the remote-control server listens: the loopback address unless
// another is named, and SCPI's customary port.
struct TRemoteAddress {
    static constexpr quint16 DefaultPort = 5025;

    QHostAddress Address{QHostAddress::LocalHost};
    quint16 Port = DefaultPort; // 0: any free port
};

// "[ADDRESS:]PORT": PORT alone (0 to 65535), or an IPv4 address, an IPv6
// address in brackets or "localhost", a colon and the port. Nothing when
// the text is not of that form.
std::optional<TRemoteAddress> ParseRemoteAddress(const QString& text);

// "127.0.0.1:5025", "[::1]:5025".
QString RemoteAddressText(const TRemoteAddress& address);
