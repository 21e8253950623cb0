#pragma once
// `otk5530-cli serve` as a child process on loopback, and plain HTTP/1.0 exchanges with it
// (or with Prometheus) over POSIX sockets: each request on a connection of its own, read to
// the server's close.
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

// A connected TCP socket to 127.0.0.1:port, or -1.
inline int ConnectLoopback(int port) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd >= 0 && connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
        return fd;
    if (fd >= 0)
        close(fd);
    return -1;
}

// A port nobody listens on now (the kernel's pick; free again once this returns).
inline int FreeLoopbackPort() {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    close(fd);
    return ntohs(address.sin_port);
}

struct HttpReply {
    int status = 0; // 0: no answer (refused, closed early, or too slow)
    std::string head;
    std::string body;
};

// Sends the raw request and reads the answer until the server closes, at most timeoutMs.
inline HttpReply HttpExchange(int port, const std::string& request, int timeoutMs = 15000) {
    HttpReply reply;
    const int fd = ConnectLoopback(port);
    if (fd < 0)
        return reply;
    send(fd, request.data(), request.size(), MSG_NOSIGNAL);
    std::string received;
    QDeadlineTimer deadline(timeoutMs);
    char buffer[65536];
    while (!deadline.hasExpired()) {
        pollfd ready{fd, POLLIN, 0};
        if (poll(&ready, 1, static_cast<int>(deadline.remainingTime())) <= 0)
            break;
        const ssize_t got = recv(fd, buffer, sizeof buffer, 0);
        if (got <= 0)
            break;
        received.append(buffer, static_cast<size_t>(got));
    }
    close(fd);
    const size_t end = received.find("\r\n\r\n");
    if (received.rfind("HTTP/1.", 0) != 0 || end == std::string::npos)
        return reply;
    reply.status = std::atoi(received.c_str() + 9);
    reply.head = received.substr(0, end);
    reply.body = received.substr(end + 4);
    return reply;
}

inline HttpReply HttpGet(int port, const std::string& target, const std::string& headers = {}) {
    return HttpExchange(port, "GET " + target + " HTTP/1.0\r\nHost: 127.0.0.1\r\n" + headers + "\r\n");
}

// The exporter with the boards given, on a free loopback port it reports at start.
class ServeProcess {
public:
    // `program`: another copy of the tool (empty: the build's); `env`: on top of the caller's.
    ServeProcess(const QStringList& boards, const QString& simEnvironment = "drift=off",
                 const QString& program = {},
                 QProcessEnvironment env = QProcessEnvironment::systemEnvironment()) {
        for (const char* name : {"OTK5530_ADAPTER", "QT_QPA_PLATFORM", "DISPLAY"})
            env.remove(name);
        env.insert("OTK5530_SIM", simEnvironment);
        process.setProcessEnvironment(env);
        QStringList arguments{"serve", "--listen", "127.0.0.1:0"};
        for (const QString& board : boards)
            arguments << "--board" << board;
        process.setReadChannel(QProcess::StandardError);
        process.start(program.isEmpty() ? QCoreApplication::applicationDirPath() + "/otk5530-cli" : program,
                      arguments);
        static const QRegularExpression serving("on http://127\\.0\\.0\\.1:([0-9]+)/metrics");
        QDeadlineTimer deadline(30000);
        while (port == 0 && !deadline.hasExpired() && process.state() != QProcess::NotRunning) {
            process.waitForReadyRead(100);
            errors += QString::fromLocal8Bit(process.readAllStandardError());
            const QRegularExpressionMatch match = serving.match(errors);
            if (match.hasMatch())
                port = match.captured(1).toInt();
        }
    }
    ~ServeProcess() {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished();
        }
    }
    // SIGTERM, then the exit status once it has ended (-1: it did not end by itself).
    int stop() {
        process.terminate();
        const bool ended = process.waitForFinished(15000);
        errors += QString::fromLocal8Bit(process.readAllStandardError());
        return ended && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

    QProcess process;
    int port = 0; // 0: it did not start serving
    QString errors;
};
