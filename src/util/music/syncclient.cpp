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

uint32_t get_be32(const uint8_t* p) {
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

SyncConnectAttempt::SyncConnectAttempt(const std::string& host, int port)
    : host_(host), port_(port), started_ms_(steady_ms()), connector_(host, port) {}

SyncConnectAttempt::~SyncConnectAttempt() { platform::tcp_close(socket_); }

int SyncConnectAttempt::take_socket() {
    int s = socket_;
    socket_ = -1;
    return s;
}

// Takes each stage as far as it goes at once.
int SyncConnectAttempt::step() {
    if (socket_ < 0) {
        const int connected = connector_.advance();
        if (connected <= 0) return connected;
        socket_ = connector_.take();
    }
    const size_t greeting_size = sizeof kClientGreeting - 1;
    const size_t reply_size = sizeof kServerGreeting - 1;
    while (greeting_sent_ < greeting_size) {
        const long n = platform::tcp_send_available(socket_, kClientGreeting + greeting_sent_,
                                                    greeting_size - greeting_sent_);
        if (n < 0) return -1;
        if (n == 0) return 0;
        greeting_sent_ += static_cast<size_t>(n);
    }
    while (reply_.size() < reply_size) {
        char part[sizeof kServerGreeting];
        const long n = platform::tcp_recv_available(socket_, part, reply_size - reply_.size());
        if (n < 0) return -1;
        if (n == 0) return 0;
        reply_.append(part, static_cast<size_t>(n));
        // Only as much as the greeting is read: the commands come after it.
        if (reply_.compare(0, reply_.size(), kServerGreeting, reply_.size()) != 0) return -1;
    }
    return 1;
}

int SyncConnectAttempt::advance(int wait_ms) {
    const int64_t deadline = steady_ms() + wait_ms;
    for (;;) {
        const int result = step();
        if (result < 0) {
            platform::tcp_close(socket_);
            socket_ = -1;
        }
        if (result != 0) return result;
        const int64_t left = deadline - steady_ms();
        if (left <= 0) return 0;
        if (socket_ < 0)
            platform::tcp_wait(connector_.socket(), true, static_cast<int>(left));
        else
            platform::tcp_wait(socket_, greeting_sent_ < sizeof kClientGreeting - 1, static_cast<int>(left));
    }
}

int sync_server_connect(const std::string& host, int port) {
    SyncConnectAttempt attempt(host, port);
    return attempt.advance(kSyncSocketTimeoutMs) == 1 ? attempt.take_socket() : -1;
}

// Here, where the connection attempt the device may hold is a complete type.
SyncDevice::SyncDevice() = default;
SyncDevice::~SyncDevice() { disconnect(); }

int SyncDevice::disconnect() {
    platform::tcp_close(socket);
    socket = -1;
    inbox.clear();
    outbox.clear();
    attempt.reset();
    return -1;
}

int SyncDevice::connect(const std::string& host, int port, int wait_ms) {
    if (!client_mode) return 0;
    if (socket >= 0) disconnect();
    // A connection under way to the same editor goes on without waiting; it
    // is given up once the editor has had the stall limit to answer, and the
    // next call starts again.
    if (attempt && (attempt->host() != host || attempt->port() != port)) attempt.reset();
    if (attempt) wait_ms = 0;
    if (!attempt) attempt = std::make_unique<SyncConnectAttempt>(host, port);
    const int64_t left = stall_limit_ms - (steady_ms() - attempt->started_ms());
    const int result = attempt->advance(static_cast<int>(std::clamp<int64_t>(left, 0, std::max(wait_ms, 0))));
    if (result == 0 && steady_ms() - attempt->started_ms() < stall_limit_ms) return -1;
    if (result == 0) std::fprintf(stderr, "sync editor did not answer the greeting in time\n");
    if (result != 1) {
        attempt.reset();
        return -1;
    }
    socket = attempt->take_socket();
    attempt.reset();

    // The editor sends every key again; until then the tracks read their
    // defaults.
    for (auto& track : tracks) track->keys.clear();
    for (auto& track : tracks)
        if (fetch_track(*track) != 0) return disconnect();
    return 0;
}

int SyncDevice::request_track(const SyncTrack& track) {
    // A connection under way requests every track once it is made.
    if (socket < 0) return attempt ? 0 : -1;
    uint32_t length = static_cast<uint32_t>(track.name.size());
    return send(message(SyncCmd::RequestTrack, length, track.name));
}

int SyncDevice::send(const std::vector<uint8_t>& m) {
    if (outbox.empty()) outbox_since_ms = steady_ms();
    outbox.insert(outbox.end(), m.begin(), m.end());
    return flush();
}

int SyncDevice::flush() {
    if (socket < 0) return -1;
    size_t sent = 0;
    while (sent < outbox.size()) {
        const long n = platform::tcp_send_available(socket, outbox.data() + sent, outbox.size() - sent);
        if (n < 0) return disconnect();
        if (n == 0) break;
        sent += static_cast<size_t>(n);
    }
    outbox.erase(outbox.begin(), outbox.begin() + static_cast<std::ptrdiff_t>(sent));
    // What the editor does not take waits for later frames, but an editor
    // that has not emptied its window for the stall limit is not reading.
    if (!outbox.empty() && steady_ms() - outbox_since_ms > stall_limit_ms) {
        std::fprintf(stderr, "sync editor stopped reading\n");
        return disconnect();
    }
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
            const uint32_t index = get_be32(m + 1);
            if (index >= tracks.size()) {
                std::fprintf(stderr, code == SyncCmd::PutKey ? "key for unknown track %u\n"
                                                             : "key removal for unknown track %u\n",
                             index);
                result = -1;
                break;
            }
            SyncKeyEdit edit;
            edit.key.row = static_cast<int32_t>(get_be32(m + 5));
            if (code == SyncCmd::PutKey) {
                const uint32_t bits = get_be32(m + 9);
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
            if (callbacks && callbacks->set_row) callbacks->set_row(opaque, static_cast<int32_t>(get_be32(m + 1)));
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
    if (flush() != 0) return -1;

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
        if (send(message(SyncCmd::Row, static_cast<uint32_t>(row))) != 0) return -1;
        last_row = row;
    }
    return 0;
}
