// A sync-tracker editor of our own for the client tests: it listens on a free
// port of 127.0.0.1, answers one client's greeting on a helper thread (the
// client waits for the answer inside its connect), and then lets the test
// send editor commands and read what the client sent. Every wait has a
// time-out, so a failing test cannot hang.
#pragma once

#include <cstdint>
#include <future>
#include <optional>
#include <string>
#include <vector>

namespace test_support {

class FakeSyncEditor {
public:
    FakeSyncEditor();
    ~FakeSyncEditor();
    FakeSyncEditor(const FakeSyncEditor&) = delete;
    FakeSyncEditor& operator=(const FakeSyncEditor&) = delete;

    int port() const { return port_; }

    // Accepts the next client on the helper thread, reads its 19-byte
    // greeting and answers `reply` (sent in two writes when `split`, and
    // followed by closing the connection when `hang_up`).
    void start_accept(const std::string& reply = "hello, demo!", bool split = false, bool hang_up = false);
    // Waits for that: true when a client came and sent the right greeting.
    bool finish_accept();
    // True once that is over, without waiting.
    bool accept_done() const;

    // The name of the next RequestTrack, or nullopt (anything else, time-out).
    std::optional<std::string> expect_request();
    // The row of the next Row message, or nullopt.
    std::optional<int32_t> expect_row();
    // True when nothing arrives within `ms` milliseconds.
    bool nothing_sent(int ms = 100);
    // True when the client closed its end, waiting at most `wait_ms` for it.
    bool client_closed(int wait_ms = 3000);

    void put_key(uint32_t track, int32_t row, float value, uint8_t type);
    void remove_key(uint32_t track, int32_t row);
    void send_row(int32_t row);
    void send_pause(uint8_t flag);
    void send_save_all();
    void send_raw(const std::vector<uint8_t>& bytes);
    // Closes the connection to the client (the editor goes away).
    void drop_client();

    // A port of 127.0.0.1 on which nothing listens.
    static int unused_port();

    // Big-endian encoding helpers for building raw messages.
    static std::vector<uint8_t> message(uint8_t code, std::vector<uint32_t> fields,
                                        std::vector<uint8_t> tail = {});

private:
    bool recv_exact(void* data, size_t size, int timeout_ms);

    int listener_ = -1;
    int client_ = -1;
    int port_ = 0;
    std::future<int> accepting_;
};

}  // namespace test_support
