// TCP client sockets for the sync-tracker connection. A socket is a plain
// int, -1 when there is none. Nothing here waits unless asked to: a
// connection is made in steps (TcpConnector) and transfers move what the
// system takes or has at once. A peer that went away never raises a signal,
// it only makes the next transfer fail.
#pragma once

#include <cstddef>
#include <string>
#include <sys/socket.h>
#include <vector>

namespace platform {

// A connection under way to the first address of a host (a name or a
// numeric address) that accepts on a port, trying each address in the order
// the resolver gives. Only the name look-up at construction may wait.
class TcpConnector {
public:
    TcpConnector(const std::string& host, int port);
    ~TcpConnector();  // closes a socket nobody took
    TcpConnector(const TcpConnector&) = delete;
    TcpConnector& operator=(const TcpConnector&) = delete;

    // Goes on without waiting: 1 when connected, 0 while under way, -1 when
    // no address accepted.
    int advance();
    // The socket being connected (to wait on), -1 when there is none.
    int socket() const { return socket_; }
    // The connected socket, which the caller now owns.
    int take();

private:
    bool start_next();

    std::vector<sockaddr_storage> addresses_;
    std::vector<socklen_t> lengths_;
    size_t next_ = 0;
    int socket_ = -1;
};

// Waits at most `timeout_ms` for the socket to become readable (or writable
// when `for_writing`); true when it did, or when it failed.
bool tcp_wait(int socket, bool for_writing, int timeout_ms);

// Sends what the system takes at once, at most `size` bytes: the count
// taken, 0 when its buffer is full, -1 when the connection failed.
long tcp_send_available(int socket, const void* data, size_t size);

// Receives what has arrived, at most `size` bytes, without waiting: the count
// received, 0 when nothing is waiting, -1 when the peer closed the connection
// or it failed.
long tcp_recv_available(int socket, void* data, size_t size);

void tcp_close(int socket);

}  // namespace platform
