#include "cli/ListenAddress.h"

#include <QRegularExpression>
#include <arpa/inet.h>

std::optional<ListenAddress> ParseListenAddress(const QString& text) {
    static const QRegularExpression shape("^(?:\\[([0-9A-Fa-f:.]+)\\]|([0-9.]+)):([0-9]{1,5})$");
    const QRegularExpressionMatch match = shape.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    const bool ipv6 = !match.captured(1).isEmpty();
    const QString host = ipv6 ? match.captured(1) : match.captured(2);
    unsigned char parsed[sizeof(in6_addr)];
    const int port = match.captured(3).toInt();
    if (inet_pton(ipv6 ? AF_INET6 : AF_INET, host.toLatin1().constData(), parsed) != 1 || port > 65535)
        return std::nullopt;
    return ListenAddress{host, port};
}

QString ListenText(const ListenAddress& address) {
    const QString host = address.host.contains(':') ? "[" + address.host + "]" : address.host;
    return host + ":" + QString::number(address.port);
}
