#include "support/fake_sync_editor.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <stdexcept>

namespace test_support {
namespace {

constexpr int kTimeoutMs = 3000;

bool wait_readable(int fd, int timeout_ms) {
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, timeout_ms) > 0;
}

void send_all(int fd, const void* data, size_t size) {
    const auto* p = static_cast<const uint8_t*>(data);
    while (size > 0) {
        ssize_t n = ::send(fd, p, size, MSG_NOSIGNAL);
        if (n <= 0) return;  // the client went away; the test sees it elsewhere
        p += n;
        size -= static_cast<size_t>(n);
    }
}

}  // namespace

FakeSyncEditor::FakeSyncEditor() {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listener_ < 0) throw std::runtime_error("socket failed");
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    socklen_t len = sizeof addr;
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(listener_, 4) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
        throw std::runtime_error("cannot listen on 127.0.0.1");
    port_ = ntohs(addr.sin_port);
}

FakeSyncEditor::~FakeSyncEditor() {
    if (accepting_.valid()) {
        int fd = accepting_.get();
        if (fd >= 0) ::close(fd);
    }
    drop_client();
    ::close(listener_);
}

void FakeSyncEditor::start_accept(const std::string& reply, bool split, bool hang_up) {
    drop_client();
    int listener = listener_;
    accepting_ = std::async(std::launch::async, [listener, reply, split, hang_up]() -> int {
        if (!wait_readable(listener, kTimeoutMs)) return -1;
        int fd = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) return -1;
        int one = 1;  // every command goes out at once
        setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        char greeting[19];
        size_t got = 0;
        while (got < sizeof greeting && wait_readable(fd, kTimeoutMs)) {
            ssize_t n = ::recv(fd, greeting + got, sizeof greeting - got, 0);
            if (n <= 0) break;
            got += static_cast<size_t>(n);
        }
        bool ok = got == sizeof greeting && std::memcmp(greeting, "hello, synctracker!", 19) == 0;
        if (split && reply.size() > 1) {
            send_all(fd, reply.data(), 5);
            ::usleep(20000);
            send_all(fd, reply.data() + 5, reply.size() - 5);
        } else {
            send_all(fd, reply.data(), reply.size());
        }
        if (hang_up) {
            ::close(fd);
            return -1;
        }
        // A negative socket number marks a wrong greeting, still to be closed.
        return ok ? fd : -2 - fd;
    });
}

int FakeSyncEditor::unused_port() {
    FakeSyncEditor closed;
    return closed.port();  // the listener closes with `closed`
}

bool FakeSyncEditor::finish_accept() {
    int fd = accepting_.get();
    if (fd >= 0) {
        client_ = fd;
        return true;
    }
    if (fd <= -2) client_ = -2 - fd;
    return false;
}

bool FakeSyncEditor::accept_done() const {
    return accepting_.valid() && accepting_.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

bool FakeSyncEditor::recv_exact(void* data, size_t size, int timeout_ms) {
    auto* p = static_cast<uint8_t*>(data);
    while (size > 0) {
        if (client_ < 0 || !wait_readable(client_, timeout_ms)) return false;
        ssize_t n = ::recv(client_, p, size, 0);
        if (n <= 0) return false;
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

std::optional<std::string> FakeSyncEditor::expect_request() {
    uint8_t head[5];
    if (!recv_exact(head, 5, kTimeoutMs) || head[0] != 2) return std::nullopt;
    uint32_t length = static_cast<uint32_t>(head[1]) << 24 | head[2] << 16 | head[3] << 8 | head[4];
    if (length > (1u << 24)) return std::nullopt;
    std::string name(length, '\0');
    if (!recv_exact(name.data(), length, kTimeoutMs)) return std::nullopt;
    return name;
}

std::optional<int32_t> FakeSyncEditor::expect_row() {
    uint8_t m[5];
    if (!recv_exact(m, 5, kTimeoutMs) || m[0] != 3) return std::nullopt;
    return static_cast<int32_t>(static_cast<uint32_t>(m[1]) << 24 | m[2] << 16 | m[3] << 8 | m[4]);
}

bool FakeSyncEditor::nothing_sent(int ms) { return client_ >= 0 && !wait_readable(client_, ms); }

bool FakeSyncEditor::client_closed(int wait_ms) {
    uint8_t byte;
    if (client_ < 0 || !wait_readable(client_, wait_ms)) return false;
    // A client that closes with unread commands resets the connection.
    ssize_t n = ::recv(client_, &byte, 1, 0);
    return n == 0 || (n < 0 && errno == ECONNRESET);
}

std::vector<uint8_t> FakeSyncEditor::message(uint8_t code, std::vector<uint32_t> fields,
                                             std::vector<uint8_t> tail) {
    std::vector<uint8_t> m{code};
    for (uint32_t f : fields)
        for (int shift = 24; shift >= 0; shift -= 8) m.push_back(static_cast<uint8_t>(f >> shift));
    m.insert(m.end(), tail.begin(), tail.end());
    return m;
}

void FakeSyncEditor::put_key(uint32_t track, int32_t row, float value, uint8_t type) {
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    send_raw(message(0, {track, static_cast<uint32_t>(row), bits}, {type}));
}

void FakeSyncEditor::remove_key(uint32_t track, int32_t row) {
    send_raw(message(1, {track, static_cast<uint32_t>(row)}));
}

void FakeSyncEditor::send_row(int32_t row) { send_raw(message(3, {static_cast<uint32_t>(row)})); }
void FakeSyncEditor::send_pause(uint8_t flag) { send_raw({4, flag}); }
void FakeSyncEditor::send_save_all() { send_raw({5}); }

void FakeSyncEditor::send_raw(const std::vector<uint8_t>& bytes) {
    if (client_ >= 0) send_all(client_, bytes.data(), bytes.size());
}

void FakeSyncEditor::drop_client() {
    if (client_ >= 0) ::close(client_);
    client_ = -1;
}

}  // namespace test_support
