#include "util/music/sync.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "system/fatal.h"
#include "util/data/data.h"

namespace {

void* stdio_open(const char* path, const char* mode) { return std::fopen(path, mode); }

size_t stdio_read(void* destination, size_t size, size_t count, void* handle) {
    return std::fread(destination, size, count, static_cast<FILE*>(handle));
}

int stdio_close(void* handle) { return std::fclose(static_cast<FILE*>(handle)); }

}  // namespace

std::unique_ptr<SyncDevice> SyncDevice::create(const std::string& base, int client_mode) {
    std::unique_ptr<SyncDevice> device(new SyncDevice);  // not make_unique: the constructor is private
    device->base = base;
    device->io = {stdio_open, stdio_read, stdio_close};
    device->client_mode = client_mode;
    return device;
}

void SyncDevice::set_io_callbacks(const SyncIoCallbacks& callbacks) { io = callbacks; }

int SyncDevice::find_track(const std::string& name) const {
    for (size_t i = 0; i < tracks.size(); ++i)
        if (tracks[i]->name == name) return static_cast<int>(i);
    return -1;
}

SyncTrack* SyncDevice::open_track(const std::string& name, float default_value) {
    int index = find_track(name);
    if (index >= 0) return tracks[index].get();

    tracks.push_back(std::make_unique<SyncTrack>());
    SyncTrack* track = tracks.back().get();
    track->name = name;
    track->default_value = default_value;
    if (fetch_track(*track) != 0) return nullptr;
    // A keyless track reads its default however it came to be keyless. In
    // player mode a key fixes that for good; the editor's tracks get none,
    // so that they hold only the editor's keys: a key of the client's own
    // would outlast a reconnection or the deletion of the last key in one
    // case and not in the other, and would be written into the files.
    if (!client_mode && track->keys.empty()) track->set_key({0, default_value, SyncKeyType::Step});
    return track;
}

int SyncDevice::fetch_track(SyncTrack& track) {
    return client_mode ? request_track(track) : fetch_track_file(track);
}

int SyncDevice::fetch_track_file(SyncTrack& track) {
    std::string path = track_path(base, track.name);
    void* handle = io.open(path.c_str(), "rb");
    if (!handle) return -1;

    // Read with element size 1, so that both kinds of callbacks count bytes.
    std::vector<uint8_t> bytes;
    uint8_t chunk[4096];
    for (;;) {
        size_t n = io.read(chunk, 1, sizeof chunk, handle);
        if (n == 0 || n > sizeof chunk) break;
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    io.close(handle);

    if (bytes.empty()) return -1;
    std::string error;
    if (!SyncTrackFile::decode(bytes.data(), bytes.size(), &track, &error))
        FATAL_ERROR("Corrupt track file " << path << ": " << error);
    return 0;
}

std::string SyncDevice::track_path(const std::string& base, const std::string& name) {
    return base + "_" + name + ".track";
}

int SyncDevice::save_all() {
    if (!client_mode) return 0;
    make_base_dirs(base);
    for (const auto& track : tracks)
        if (save_track_file(*track, track_path(base, track->name)) != 0) return -1;
    return 0;
}

int SyncDevice::save_track_file(const SyncTrack& track, const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return -1;
    std::vector<uint8_t> bytes = SyncTrackFile::encode(track.keys);
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    // A failed close can mean the data never reached the disk.
    bool closed = std::fclose(file) == 0;
    return written && closed ? 0 : -1;
}

int SyncDevice::make_base_dirs(const std::string& base) {
    namespace fs = std::filesystem;
    size_t from = !base.empty() && base[0] == '/' ? 1 : 0;
    for (size_t slash = base.find('/', from); slash != std::string::npos;
         slash = base.find('/', slash + 1)) {
        fs::path folder = base.substr(0, slash);
        std::error_code ec;
        fs::file_status status = fs::status(folder, ec);
        if (fs::exists(status)) {
            if (!fs::is_directory(status)) return -1;
        } else if (!fs::create_directory(folder, ec) || ec) {
            return -1;
        }
    }
    return 0;
}

void SyncDevice::free_tracks() { tracks.clear(); }

void* archive_io_open(const char* path, const char* mode) {
    int32_t length = 0;
    char* data = DataFile::load(path, mode, &length, false, false);
    if (!data || length <= 0) {
        std::free(data);
        return nullptr;
    }
    auto reader = std::make_unique<ArchiveReader>();
    reader->data = data;
    reader->size = length;
    // The handle owns the reader until archive_io_close takes it back.
    return reader.release();
}

size_t archive_io_read(void* destination, size_t size, size_t count, void* handle) {
    auto* reader = static_cast<ArchiveReader*>(handle);
    size_t left = static_cast<size_t>(reader->size - reader->position);
    size_t n = size != 0 && count > left / size ? left : size * count;
    if (n > left) n = left;
    if (n == 0) return 0;
    std::memcpy(destination, reader->data + reader->position, n);
    reader->position += static_cast<int32_t>(n);
    return n;
}

int archive_io_close(void* handle) {
    std::unique_ptr<ArchiveReader> reader(static_cast<ArchiveReader*>(handle));
    std::free(reader->data);
    return 0;
}
