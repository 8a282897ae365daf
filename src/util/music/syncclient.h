// The sync-tracker client's connection: TCP to the editor, greeting
// "hello, synctracker!" answered by "hello, demo!", then one-byte commands
// with big-endian 32-bit fields:
//   0 PutKey        editor -> client  u32 track, u32 row, u32 float bits, u8 type
//   1 RemoveKey     editor -> client  u32 track, u32 row
//   2 RequestTrack  client -> editor  u32 name length, name bytes
//   3 Row           both ways         u32 row
//   4 Pause         editor -> client  u8 flag (non-zero pauses)
//   5 SaveAll       editor -> client  -
// A track's number is its index in the device's track list, which is the
// order of the requests on the connection.
#pragma once

#include <cstdint>
#include <string>

#include "platform/tcp.h"

// A connection to the editor on its way: the TCP connection, the client's
// greeting and the editor's answer, each taken as far as it goes without
// waiting, so that a frame never waits for a slow or silent editor.
class SyncConnectAttempt {
public:
    SyncConnectAttempt(const std::string& host, int port);  // starts connecting
    ~SyncConnectAttempt();                                  // closes a socket nobody took
    SyncConnectAttempt(const SyncConnectAttempt&) = delete;
    SyncConnectAttempt& operator=(const SyncConnectAttempt&) = delete;

    // Goes on, waiting at most `wait_ms` in all: 1 once the editor has
    // answered the greeting (take_socket), 0 while under way, -1 when it
    // failed (nobody accepts, the editor hung up or answered otherwise).
    int advance(int wait_ms);
    int take_socket();

    const std::string& host() const { return host_; }
    int port() const { return port_; }
    int64_t started_ms() const { return started_ms_; }

private:
    int step();

    std::string host_;
    int port_;
    int64_t started_ms_;
    platform::TcpConnector connector_;
    int socket_ = -1;  // once the TCP connection is made
    size_t greeting_sent_ = 0;
    std::string reply_;
};

// A connected socket that has passed the greeting, or -1; waits at most
// kSyncSocketTimeoutMs.
int sync_server_connect(const std::string& host, int port);

