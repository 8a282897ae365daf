#include "platform/tcp.h"

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

namespace platform {

TcpConnector::TcpConnector(const std::string& host, int port) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    std::string service = std::to_string(port);
    if (getaddrinfo(host.c_str(), service.c_str(), &hints, &found) != 0) return;
    for (addrinfo* a = found; a; a = a->ai_next) {
        if (a->ai_addrlen > sizeof(sockaddr_storage)) continue;
        sockaddr_storage address{};
        std::memcpy(&address, a->ai_addr, a->ai_addrlen);
        addresses_.push_back(address);
        lengths_.push_back(a->ai_addrlen);
    }
    freeaddrinfo(found);
}

TcpConnector::~TcpConnector() { tcp_close(socket_); }

int TcpConnector::take() {
    int s = socket_;
    socket_ = -1;
    return s;
}

// Starts connecting to the next address that lets a socket start; false
// when none is left.
bool TcpConnector::start_next() {
    tcp_close(socket_);
    socket_ = -1;
    while (next_ < addresses_.size()) {
        const sockaddr_storage& address = addresses_[next_];
        const socklen_t length = lengths_[next_];
        ++next_;
        int s = ::socket(address.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (s < 0) continue;
        int one = 1;  // small messages go out at once
        setsockopt(s, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        if (::connect(s, reinterpret_cast<const sockaddr*>(&address), length) == 0 || errno == EINPROGRESS ||
            errno == EINTR) {
            socket_ = s;
            return true;
        }
        ::close(s);
    }
    return false;
}

int TcpConnector::advance() {
    for (;;) {
        if (socket_ < 0 && !start_next()) return -1;
        pollfd p{socket_, POLLOUT, 0};
        int ready = ::poll(&p, 1, 0);
        if (ready < 0 && errno == EINTR) continue;
        if (ready == 0) return 0;
        int error = 0;
        socklen_t length = sizeof error;
        if (ready > 0 && getsockopt(socket_, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0) return 1;
        tcp_close(socket_);  // refused or unreachable: the next address
        socket_ = -1;
    }
}

bool tcp_wait(int socket, bool for_writing, int timeout_ms) {
    pollfd p{socket, static_cast<short>(for_writing ? POLLOUT : POLLIN), 0};
    int ready;
    do ready = ::poll(&p, 1, timeout_ms < 0 ? 0 : timeout_ms);
    while (ready < 0 && errno == EINTR);
    return ready != 0;
}

long tcp_send_available(int socket, const void* data, size_t size) {
    if (size == 0) return 0;
    for (;;) {
        ssize_t n = ::send(socket, data, size, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n >= 0) return static_cast<long>(n);
        if (errno == EINTR) continue;
        return errno == EAGAIN || errno == EWOULDBLOCK ? 0 : -1;
    }
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
