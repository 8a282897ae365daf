#include "platform/tcp.h"

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace platform {

int tcp_connect(const std::string& host, int port, int timeout_ms) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    std::string service = std::to_string(port);
    if (getaddrinfo(host.c_str(), service.c_str(), &hints, &found) != 0) return -1;

    int result = -1;
    for (addrinfo* a = found; a && result < 0; a = a->ai_next) {
        int s = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
        if (s < 0) continue;
        if (::connect(s, a->ai_addr, a->ai_addrlen) != 0) {
            ::close(s);
            continue;
        }
        timeval tv{};
        tv.tv_sec = timeout_ms / 1000;
        tv.tv_usec = (timeout_ms % 1000) * 1000;
        setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
        setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
        int one = 1;  // small messages go out at once
        setsockopt(s, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        result = s;
    }
    freeaddrinfo(found);
    return result;
}

bool tcp_send_all(int socket, const void* data, size_t size) {
    const auto* p = static_cast<const uint8_t*>(data);
    while (size > 0) {
        ssize_t n = ::send(socket, p, size, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

bool tcp_recv_all(int socket, void* data, size_t size) {
    auto* p = static_cast<uint8_t*>(data);
    while (size > 0) {
        ssize_t n = ::recv(socket, p, size, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

long tcp_recv_available(int socket, void* data, size_t size) {
    if (size == 0) return 0;
    for (;;) {
        ssize_t n = ::recv(socket, data, size, MSG_DONTWAIT);
        if (n > 0) return static_cast<long>(n);
        if (n == 0) return -1;
        if (errno == EINTR) continue;
        return errno == EAGAIN || errno == EWOULDBLOCK ? 0 : -1;
    }
}

void tcp_close(int socket) {
    if (socket >= 0) ::close(socket);
}

}  // namespace platform
