// TCP client sockets for the sync-tracker connection. A socket is a plain
// int, -1 when there is none. Every transfer moves the whole buffer or
// reports failure; a peer that went away never raises a signal, it only makes
// the next transfer fail.
#pragma once

#include <cstddef>
#include <string>

namespace platform {

// Connects to the first address of `host` (a name or a numeric address) that
// accepts on `port`, trying each address in the order the resolver gives.
// Sends and receives on the socket give up after `timeout_ms` without
// progress. Returns the socket or -1.
int tcp_connect(const std::string& host, int port, int timeout_ms);

// Sends all `size` bytes; false when the connection failed first.
bool tcp_send_all(int socket, const void* data, size_t size);

// Receives exactly `size` bytes; false on end of stream, error or time-out.
bool tcp_recv_all(int socket, void* data, size_t size);

// Receives what has arrived, at most `size` bytes, without waiting: the count
// received, 0 when nothing is waiting, -1 when the peer closed the connection
// or it failed.
long tcp_recv_available(int socket, void* data, size_t size);

void tcp_close(int socket);

}  // namespace platform
