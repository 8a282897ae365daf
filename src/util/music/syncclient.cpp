#include "util/music/syncclient.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/tcp.h"
#include "util/music/sync.h"

namespace {

const char kClientGreeting[] = "hello, synctracker!";
const char kServerGreeting[] = "hello, demo!";

// A message of the code byte and a big-endian 32-bit field, then `tail`.
std::vector<uint8_t> message(uint8_t code, uint32_t field, const std::string& tail = "") {
    std::vector<uint8_t> m(5 + tail.size());
    m[0] = code;
    for (int i = 0; i < 4; ++i) m[1 + i] = static_cast<uint8_t>(field >> (24 - 8 * i));
    std::copy(tail.begin(), tail.end(), m.begin() + 5);
    return m;
}

bool send_message(int socket, const std::vector<uint8_t>& m) {
    return platform::tcp_send_all(socket, m.data(), m.size());
}

bool recv_u32(int socket, uint32_t* v) {
    uint8_t b[4];
    if (!platform::tcp_recv_all(socket, b, 4)) return false;
    *v = static_cast<uint32_t>(b[0]) << 24 | static_cast<uint32_t>(b[1]) << 16 |
         static_cast<uint32_t>(b[2]) << 8 | static_cast<uint32_t>(b[3]);
    return true;
}

bool recv_u8(int socket, uint8_t* v) { return platform::tcp_recv_all(socket, v, 1); }

}  // namespace

int sync_server_connect(const std::string& host, int port) {
    int socket = platform::tcp_connect(host, port, kSyncSocketTimeoutMs);
    if (socket < 0) return -1;
    char reply[sizeof kServerGreeting - 1];
    if (!platform::tcp_send_all(socket, kClientGreeting, sizeof kClientGreeting - 1) ||
        !platform::tcp_recv_all(socket, reply, sizeof reply) ||
        std::memcmp(reply, kServerGreeting, sizeof reply) != 0) {
        platform::tcp_close(socket);
        return -1;
    }
    return socket;
}

int SyncDevice::disconnect() {
    platform::tcp_close(socket);
    socket = -1;
    return -1;
}

int SyncDevice::connect(const std::string& host, int port) {
    if (!client_mode) return 0;
    disconnect();
    socket = sync_server_connect(host, port);
    if (socket < 0) return -1;

    // The editor sends every key again; until then the tracks read 0.0.
    for (auto& track : tracks) track->keys.clear();
    for (auto& track : tracks)
        if (fetch_track(*track) != 0) return disconnect();
    return 0;
}

int SyncDevice::request_track(const SyncTrack& track) {
    if (socket < 0) return -1;
    uint32_t length = static_cast<uint32_t>(track.name.size());
    if (!send_message(socket, message(SyncCmd::RequestTrack, length, track.name))) return disconnect();
    return 0;
}

int SyncDevice::handle_put_key() {
    uint32_t index, row, bits;
    uint8_t type;
    if (!recv_u32(socket, &index) || !recv_u32(socket, &row) || !recv_u32(socket, &bits) ||
        !recv_u8(socket, &type))
        return -1;
    if (index >= tracks.size()) {
        std::fprintf(stderr, "key for unknown track %u\n", index);
        return -1;
    }
    SyncKey key;
    key.row = static_cast<int32_t>(row);
    std::memcpy(&key.value, &bits, 4);
    key.type = type;
    return tracks[index]->set_key(key);
}

int SyncDevice::handle_remove_key() {
    uint32_t index, row;
    if (!recv_u32(socket, &index) || !recv_u32(socket, &row)) return -1;
    if (index >= tracks.size()) {
        std::fprintf(stderr, "key removal for unknown track %u\n", index);
        return -1;
    }
    return tracks[index]->delete_key(static_cast<int32_t>(row));
}

int SyncDevice::poll(int32_t row, const SyncCallbacks* callbacks, void* opaque) {
    if (!client_mode) return 0;
    if (socket < 0) return -1;

    while (platform::tcp_readable(socket)) {
        uint8_t code;
        if (!recv_u8(socket, &code)) return disconnect();
        switch (code) {
            case SyncCmd::PutKey:
                if (handle_put_key() != 0) return disconnect();
                break;
            case SyncCmd::RemoveKey:
                if (handle_remove_key() != 0) return disconnect();
                break;
            case SyncCmd::Row: {
                uint32_t new_row;
                if (!recv_u32(socket, &new_row)) return disconnect();
                if (callbacks && callbacks->set_row)
                    callbacks->set_row(opaque, static_cast<int32_t>(new_row));
                break;
            }
            case SyncCmd::Pause: {
                uint8_t flag;
                if (!recv_u8(socket, &flag)) return disconnect();
                if (callbacks && callbacks->pause) callbacks->pause(opaque, flag);
                break;
            }
            case SyncCmd::SaveAll:
                save_all();
                break;
            default:
                std::fprintf(stderr, "unknown cmd: %02x\n", code);
                return disconnect();
        }
    }

    if (callbacks && callbacks->is_playing && callbacks->is_playing(opaque) && row != last_row &&
        socket >= 0) {
        if (!send_message(socket, message(SyncCmd::Row, static_cast<uint32_t>(row)))) return disconnect();
        last_row = row;
    }
    return 0;
}
