#include "HalfCloseClient.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <utility>

// POSIX sockets, because QTcpSocket cannot close only its sending side.
std::optional<QByteArray> askThenHalfClose(quint16 port, const QByteArray &request, int ms) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const QDeadlineTimer deadline(ms);
    std::optional<QByteArray> received;
    QByteArray bytes;
    bool sent = false;
    ::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address);
    while (!received && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (!sent) {
            // Loopback takes the whole request at once once connected.
            sent = ::send(fd, request.constData(), size_t(request.size()), MSG_NOSIGNAL) ==
                   request.size();
            if (sent) {
                ::shutdown(fd, SHUT_WR);
            }
            continue;
        }
        char buffer[4096];
        const ssize_t count = ::recv(fd, buffer, sizeof buffer, 0);
        if (count > 0) {
            bytes.append(buffer, count);
        } else if (count == 0) {
            received = std::exchange(bytes, {});
        }
    }
    ::close(fd);
    return received;
}
