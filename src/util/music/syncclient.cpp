#include "util/music/syncclient.h"

#include <algorithm>
#include <chrono>
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

uint32_t get_u32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
           static_cast<uint32_t>(p[2]) << 8 | static_cast<uint32_t>(p[3]);
}

// The length of the command that `code` opens, 0 for an unknown code.
size_t command_size(uint8_t code) {
    switch (code) {
        case SyncCmd::PutKey: return 14;
        case SyncCmd::RemoveKey: return 9;
        case SyncCmd::Row: return 5;
        case SyncCmd::Pause: return 2;
        case SyncCmd::SaveAll: return 1;
        default: return 0;
    }
}

int64_t steady_ms() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

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
    inbox.clear();
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

int SyncDevice::apply_commands(const SyncCallbacks* callbacks, void* opaque) {
    // Key edits in a row are gathered and applied per track in one pass
    // (SyncTrack::apply_edits); any other command applies them first, so the
    // editor's order holds.
    std::vector<std::pair<uint32_t, SyncKeyEdit>> edits;
    auto apply_edits = [&] {
        std::stable_sort(edits.begin(), edits.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        for (size_t i = 0; i < edits.size();) {
            std::vector<SyncKeyEdit> of_track;
            size_t j = i;
            for (; j < edits.size() && edits[j].first == edits[i].first; ++j) of_track.push_back(edits[j].second);
            tracks[edits[i].first]->apply_edits(std::move(of_track));
            i = j;
        }
        edits.clear();
    };

    size_t pos = 0;
    int result = 0;
    while (pos < inbox.size()) {
        const uint8_t* m = &inbox[pos];
        const uint8_t code = m[0];
        const size_t size = command_size(code);
        if (size == 0) {
            std::fprintf(stderr, "unknown cmd: %02x\n", code);
            result = -1;
            break;
        }
        if (inbox.size() - pos < size) break;  // the rest comes in later frames
        pos += size;
        if (code == SyncCmd::PutKey || code == SyncCmd::RemoveKey) {
            const uint32_t index = get_u32(m + 1);
            if (index >= tracks.size()) {
                std::fprintf(stderr, code == SyncCmd::PutKey ? "key for unknown track %u\n"
                                                             : "key removal for unknown track %u\n",
                             index);
                result = -1;
                break;
            }
            SyncKeyEdit edit;
            edit.key.row = static_cast<int32_t>(get_u32(m + 5));
            if (code == SyncCmd::PutKey) {
                const uint32_t bits = get_u32(m + 9);
                std::memcpy(&edit.key.value, &bits, 4);
                edit.key.type = m[13];
            } else {
                edit.remove = true;
            }
            edits.push_back({index, edit});
            continue;
        }
        apply_edits();
        if (code == SyncCmd::Row) {
            if (callbacks && callbacks->set_row) callbacks->set_row(opaque, static_cast<int32_t>(get_u32(m + 1)));
        } else if (code == SyncCmd::Pause) {
            if (callbacks && callbacks->pause) callbacks->pause(opaque, m[1]);
        } else {
            save_all();
        }
    }
    apply_edits();
    if (result != 0) return disconnect();
    inbox.erase(inbox.begin(), inbox.begin() + static_cast<std::ptrdiff_t>(pos));
    return 0;
}

int SyncDevice::poll(int32_t row, const SyncCallbacks* callbacks, void* opaque) {
    if (!client_mode) return 0;
    if (socket < 0) return -1;

    // Take what has arrived, up to the budget, without waiting.
    const size_t had = inbox.size();
    size_t got = 0;
    bool closed = false;
    inbox.resize(had + kSyncPollBudgetBytes);
    while (got < kSyncPollBudgetBytes) {
        const long n = platform::tcp_recv_available(socket, &inbox[had + got], kSyncPollBudgetBytes - got);
        if (n < 0) closed = true;
        if (n <= 0) break;
        got += static_cast<size_t>(n);
    }
    inbox.resize(had + got);
    const size_t before = inbox.size();
    if (apply_commands(callbacks, opaque) != 0) return -1;
    if (closed) return disconnect();

    // A command cut short waits for its rest across frames, but not longer
    // than the stall limit counted from when it began to arrive.
    if (inbox.empty()) {
        partial_since_ms = 0;
    } else {
        const bool new_command = had == 0 || inbox.size() < before;
        if (new_command) partial_since_ms = steady_ms();
        if (steady_ms() - partial_since_ms > stall_limit_ms) {
            std::fprintf(stderr, "sync editor stalled in the middle of a command\n");
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
