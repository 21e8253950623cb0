#pragma once
// Where `serve` listens: a numeric IPv4 or [IPv6] address and a port. Loopback unless the
// user names another address.
#include <QString>
#include <optional>

// After the chip's name, and outside 9100..9999, the range registered exporters hold.
inline constexpr int kDefaultMetricsPort = 5530;
inline constexpr char kDefaultListenHost[] = "127.0.0.1";

struct ListenAddress {
    QString host = kDefaultListenHost; // "127.0.0.1", "0.0.0.0", "::1" (without brackets)
    int port = kDefaultMetricsPort;    // 0: any free port, shown at start
};

// "127.0.0.1:5530", "[::1]:5530", "0.0.0.0:0". Nothing for a name, a missing port or one above 65535.
std::optional<ListenAddress> ParseListenAddress(const QString& text);

// As civetweb's listening_ports takes it, and as a URL shows it: "127.0.0.1:5530", "[::1]:5530".
QString ListenText(const ListenAddress& address);
