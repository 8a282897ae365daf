// The sync device: the run's sync tracks, opened by name, with their keys
// read from track files (player mode) or received from the sync-tracker
// editor over TCP (client mode, see syncclient.cpp), and written back to
// track files when the editor or shut-down asks for it.
//
// sync.cpp holds the tracks, the track files and player mode; syncclient.cpp
// the editor connection and the device's client mode (and, as the device
// holds a connection attempt, its constructor and destructor). The client
// builds on this header, never the other way.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "util/music/synctrack.h"

class SyncConnectAttempt;

// How the device reads track files in player mode (fopen/fread/fclose-like;
// `read` returns what it copied).
struct SyncIoCallbacks {
    void* (*open)(const char* path, const char* mode);
    size_t (*read)(void* destination, size_t size, size_t count, void* handle);
    int (*close)(void* handle);
};

// What the editor's commands do to the music clock; every entry may be null.
struct SyncCallbacks {
    void (*pause)(void* opaque, int32_t flag);
    void (*set_row)(void* opaque, int32_t row);
    int32_t (*is_playing)(void* opaque);
};

// Command codes of the wire protocol.
namespace SyncCmd {
enum : uint8_t { PutKey = 0, RemoveKey = 1, RequestTrack = 2, Row = 3, Pause = 4, SaveAll = 5 };
}

// How long the editor may take to answer the greeting, to send the rest of a
// command it began or to take what the client sends, before the connection
// counts as lost.
constexpr int kSyncSocketTimeoutMs = 5000;

// How long a frame that reconnects waits for the editor: an editor that is
// running answers well within it, so the connection is back in the same
// frame, and a silent one costs it once per attempt.
constexpr int kSyncReconnectWaitMs = 100;

// How much of the editor's data one poll takes: about 4,600 key commands.
constexpr size_t kSyncPollBudgetBytes = 64 * 1024;

class SyncDevice {
public:
    // A device in player mode (client_mode 0) or client mode, reading track
    // files from `base` + "_" + name + ".track" with the standard library.
    static std::unique_ptr<SyncDevice> create(const std::string& base, int client_mode);
    ~SyncDevice();
    SyncDevice(const SyncDevice&) = delete;
    SyncDevice& operator=(const SyncDevice&) = delete;

    void set_io_callbacks(const SyncIoCallbacks& callbacks);

    // The track of that name, opened and fetched on first use, reading
    // `default_value` whenever it has no keys. In player mode a new track
    // that has no keys after the fetch gets one Step key {0, default}; in
    // client mode it holds the editor's keys alone. A failed fetch gives
    // null (the track stays listed, without keys).
    SyncTrack* open_track(const std::string& name, float default_value);
    int find_track(const std::string& name) const;

    // Player mode: reads the track file (a missing or empty file gives -1; a
    // file too short for its key count ends the run). Client mode: requests
    // the track from the editor.
    int fetch_track(SyncTrack& track);

    static std::string track_path(const std::string& base, const std::string& name);

    // Client mode: writes every track's file, stopping at the first failure
    // (-1). Player mode writes nothing and returns 0.
    int save_all();
    static int save_track_file(const SyncTrack& track, const std::string& path);
    // Creates every folder of `base` up to its last "/"; -1 when one cannot
    // be created or exists as something else.
    static int make_base_dirs(const std::string& base);
    void free_tracks();

    // The editor connection (syncclient.cpp). Both return 0 at once in player
    // mode.
    //
    // `connect` drops the current connection and connects again: 0 once the
    // editor answered the greeting and every track is requested, -1
    // otherwise. A new connection waits at most `wait_ms` for the editor
    // (the frame loop passes kSyncReconnectWaitMs). One still under way when
    // the wait ends is kept, and later calls go on with it without waiting
    // rather than starting over, until the editor has had `stall_limit_ms` to
    // answer; tracks opened meanwhile are requested once it is made.
    //
    // `poll` never waits for the editor: it takes what has arrived (at most
    // kSyncPollBudgetBytes a frame, so a flood of commands is spread over
    // frames), applies the whole commands in order and keeps a command cut
    // short for the next frames; a command that stays incomplete for
    // `stall_limit_ms` drops the connection. What the client sends (track
    // requests, rows) goes out as far as the editor takes it and the rest in
    // later frames; an editor that leaves some of it untaken for
    // `stall_limit_ms` is dropped as well.
    int connect(const std::string& host, int port, int wait_ms = kSyncSocketTimeoutMs);
    int poll(int32_t row, const SyncCallbacks* callbacks, void* opaque);

    std::string base;
    std::vector<std::unique_ptr<SyncTrack>> tracks;  // index = number on the wire
    int32_t last_row = -1;
    int socket = -1;
    SyncIoCallbacks io;
    int client_mode = 0;
    int stall_limit_ms = kSyncSocketTimeoutMs;
    std::vector<uint8_t> inbox;   // received bytes of a command not yet whole
    std::vector<uint8_t> outbox;  // bytes the editor has not taken yet

private:
    SyncDevice();
    int fetch_track_file(SyncTrack& track);
    int request_track(const SyncTrack& track);
    // Applies the whole commands at the front of `inbox` and removes them; -1
    // (disconnected) on a command that breaks the protocol.
    int apply_commands(const SyncCallbacks* callbacks, void* opaque);
    int disconnect();
    // Queues a message and sends what the editor takes; -1 (disconnected)
    // when the connection failed or the editor stopped reading.
    int send(const std::vector<uint8_t>& m);
    int flush();

    int64_t partial_since_ms = 0;  // when the incomplete command in `inbox` began
    int64_t outbox_since_ms = 0;   // since when `outbox` has not been empty
    std::unique_ptr<SyncConnectAttempt> attempt;  // a connection under way
};

// The handle of the archive callbacks: a whole file from the data layer.
struct ArchiveReader {
    char* data = nullptr;
    int32_t size = 0;
    int32_t position = 0;
};

// Track files through DataFile::load, so they come from the archive or the
// disk as the data mode says. `archive_io_read` returns bytes, not elements.
void* archive_io_open(const char* path, const char* mode);
size_t archive_io_read(void* destination, size_t size, size_t count, void* handle);
int archive_io_close(void* handle);
