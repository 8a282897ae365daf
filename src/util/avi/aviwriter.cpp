#include "util/avi/aviwriter.h"

#include <cstdio>
#include <mutex>
#include <set>
#include <vector>

#include "platform/avifile.h"
#include "system/fatal.h"

namespace {

constexpr uint16_t wave_format_pcm = 1;
constexpr int codec_uncompressed = 0;
constexpr int codec_ask_user = -1;
constexpr int codec_dib = static_cast<int>(platform::make_fourcc("DIB "));
constexpr size_t max_base_name = 259;
constexpr float max_fps = 400000.0f;
// Frame sides must fit the 16-bit frame rectangle of a stream header.
constexpr int max_frame_side = 32767;

// Writers that exist, so that a fatal error can finish their open parts.
// The set and its lock are never destroyed: a writer owned by a static
// object unregisters during exit, possibly after function-local statics of
// this file would have been torn down.
std::mutex& live_writers_lock() {
    static std::mutex* m = new std::mutex;
    return *m;
}

std::set<AVIWriter*>& live_writers() {
    static std::set<AVIWriter*>* writers = new std::set<AVIWriter*>;
    return *writers;
}

void finish_live_writers() {
    std::lock_guard<std::mutex> guard(live_writers_lock());
    for (AVIWriter* writer : live_writers()) writer->close();
}

void put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

// The 18 bytes of a WAVEFORMATEX record, the audio stream's format.
std::vector<uint8_t> wave_format_bytes(const WaveFormat& f) {
    std::vector<uint8_t> out;
    put16(out, f.format_tag);
    put16(out, f.channels);
    put32(out, f.samples_per_sec);
    put32(out, f.avg_bytes_per_sec);
    put16(out, f.block_align);
    put16(out, f.bits_per_sample);
    put16(out, f.extra_size);
    return out;
}

// The video stream header. The frame size is 0 until the first frame sets
// the format; the header is written when the part is finished, so it always
// carries the size of the frames in the part.
platform::AviStreamInfo video_stream_info(int codec, float fps, int width, int height,
                                          size_t image_size) {
    platform::AviStreamInfo video;
    video.type = platform::make_fourcc("vids");
    video.handler = static_cast<uint32_t>(codec);
    video.scale = 10000;
    video.rate = static_cast<uint32_t>(fps * 10000.0f + 0.5f);
    video.suggested_buffer_size = static_cast<uint32_t>(image_size);
    video.frame_width = static_cast<uint16_t>(width);
    video.frame_height = static_cast<uint16_t>(height);
    video.name = "Video";
    return video;
}

}  // namespace

struct AVIWriter::State {
    std::recursive_mutex lock;
    platform::AviFile file;
    int video_stream = -1;  // -1: absent
    int audio_stream = -1;
    WaveFormat audio_format;
    std::string base_name;
    int part = 1;
    int codec = codec_uncompressed;
    int quality = 0;
    uint64_t bytes_written = 0;  // to the current part
    bool open = false;           // the current part has its video stream
    bool format_set = false;     // the video stream has its frame format
    uint64_t split_limit = default_split_limit;
    bool failure_logged = false;  // the system's reason for a failed write, once
    std::string open_error;       // why the last part could not be created
    std::string write_error;      // why the first failed write since open failed
};

AVIWriter::AVIWriter() : state(std::make_unique<State>()) {
    std::lock_guard<std::mutex> guard(live_writers_lock());
    live_writers().insert(this);
}

AVIWriter::~AVIWriter() {
    {
        std::lock_guard<std::mutex> guard(live_writers_lock());
        live_writers().erase(this);
    }
    close();
}

const std::string& AVIWriter::open_error() const { return state->open_error; }

const std::string& AVIWriter::write_error() const { return state->write_error; }

bool AVIWriter::fail_write(const std::string& reason) {
    State& s = *state;
    if (s.write_error.empty()) s.write_error = part_name(s.base_name, s.part) + ": " + reason;
    return false;
}

std::string AVIWriter::base_name(const std::string& name) {
    std::string base = name.substr(0, max_base_name);
    for (size_t i = base.size(); i-- > 0;) {
        if (base[i] == '/' || base[i] == '\\') break;
        if (base[i] == '.') {
            base.resize(i);
            break;
        }
    }
    return base;
}

std::string AVIWriter::part_name(const std::string& base, int part) {
    char number[16];
    std::snprintf(number, sizeof number, "%02d", part);
    return base + "." + number + ".avi";
}

std::string AVIWriter::current_file() const {
    std::lock_guard<std::recursive_mutex> guard(state->lock);
    return state->base_name.empty() ? std::string() : part_name(state->base_name, state->part);
}

size_t AVIWriter::frame_stride(int width) {
    return width > 0 ? (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3) : 0;
}

size_t AVIWriter::frame_bytes() const {
    return height > 0 ? frame_stride(width) * static_cast<size_t>(height) : 0;
}

void AVIWriter::set_split_limit(uint64_t bytes) {
    std::lock_guard<std::recursive_mutex> guard(state->lock);
    state->split_limit = bytes;
}

bool AVIWriter::open(const char* name, float fps_value, int codec, int quality) {
    std::lock_guard<std::recursive_mutex> guard(state->lock);
    close();
    width = height = frame_index = audio_position = 0;
    fps = fps_value;
    // The stream rate, fps x 10000, must fit its 32-bit header field.
    state->open_error.clear();
    state->write_error.clear();
    if (!name || !(fps > 0.0f && fps <= max_fps)) return false;
    state->base_name = base_name(name);
    state->part = 1;
    state->codec = codec;
    state->quality = quality;
    state->open = state->format_set = false;

    static std::once_flag hook_registered;
    std::call_once(hook_registered, [] { fatal::add_exit_hook(finish_live_writers); });
    return open_part();
}

bool AVIWriter::open_part() {
    State& s = *state;
    s.bytes_written = 0;
    s.failure_logged = false;
    // Uncompressed frames are all we write, so the question which codec to
    // use is answered with that, and later parts keep the answer.
    if (s.codec == codec_uncompressed || s.codec == codec_ask_user) s.codec = codec_dib;
    if (s.codec != codec_dib) return false;
    const std::string name = part_name(s.base_name, s.part);
    if (!s.file.create(name)) {
        s.open_error = name + ": " + s.file.error();
        return false;
    }

    s.video_stream = s.file.create_stream(video_stream_info(s.codec, fps, 0, 0, 0));
    s.open = s.video_stream >= 0;
    return s.open;
}

bool AVIWriter::set_frame_format() {
    State& s = *state;
    if (width <= 0 || height <= 0 || width > max_frame_side || height > max_frame_side)
        return false;
    const uint32_t image_size = static_cast<uint32_t>(frame_bytes());


    // BITMAPINFOHEADER: a positive height means bottom-up rows.
    std::vector<uint8_t> bitmap;
    put32(bitmap, 40);
    put32(bitmap, static_cast<uint32_t>(width));
    put32(bitmap, static_cast<uint32_t>(height));
    put16(bitmap, 1);   // planes
    put16(bitmap, 24);  // bits per pixel
    put32(bitmap, 0);   // BI_RGB
    put32(bitmap, image_size);
    for (int i = 0; i < 4; ++i) put32(bitmap, 0);

    return s.file.set_stream_info(s.video_stream,
                                  video_stream_info(s.codec, fps, width, height, image_size)) &&
           s.file.set_format(s.video_stream, bitmap);
}

bool AVIWriter::create_audio_stream() {
    State& s = *state;
    const WaveFormat& f = s.audio_format;
    const bool valid = f.format_tag == wave_format_pcm && f.channels > 0 &&
                       f.bits_per_sample > 0 && f.bits_per_sample % 8 == 0 &&
                       f.block_align == f.channels * f.bits_per_sample / 8 &&
                       f.samples_per_sec > 0;

    platform::AviStreamInfo audio;
    audio.type = platform::make_fourcc("auds");
    audio.scale = 1;
    audio.rate = f.samples_per_sec;
    audio.suggested_buffer_size = f.avg_bytes_per_sec;
    audio.sample_size = f.block_align;
    audio.name = "Audio";

    if (valid && s.open) {
        int stream = s.file.create_stream(audio);
        if (s.file.set_format(stream, wave_format_bytes(f))) {
            s.audio_stream = stream;
            audio_position = 0;
            block_size = f.block_align;
            return true;
        }
    }
    release_streams();
    return false;
}

void AVIWriter::set_size(int w, int h) {
    std::lock_guard<std::recursive_mutex> guard(state->lock);
    if (state->format_set) return;
    width = w;
    height = h;
}

void AVIWriter::set_audio_format(const WaveFormat& format) {
    std::lock_guard<std::recursive_mutex> guard(state->lock);
    state->audio_format = format;
}

bool AVIWriter::write_video_frame(const void* frame) {
    std::lock_guard<std::recursive_mutex> guard(state->lock);
    State& s = *state;
    if (!frame) return fail_write("no frame to write");
    if (frame_index == 0 && !s.format_set) {
        if (width <= 0 || height <= 0) return fail_write("no frame size");
        if (!set_frame_format()) {
            release_streams();
            return fail_write("frames of " + std::to_string(width) + "x" + std::to_string(height) +
                              " cannot be recorded");
        }
        s.format_set = true;
        frame_index = 0;
    }
    if (!s.format_set || !s.open) return fail_write("the recording has stopped");

    if (s.bytes_written >= s.split_limit) {
        const bool had_audio = s.audio_stream >= 0;
        release_streams();
        ++s.part;
        if (!open_part() || !set_frame_format()) {
            release_streams();
            return s.open_error.empty() ? fail_write("the part could not be started") : fail_write(s.open_error);
        }
        frame_index = 0;
        if (had_audio && !create_audio_stream()) return fail_write("the sound's format cannot be recorded");
    }

    const size_t written = s.file.write(s.video_stream, frame, frame_bytes(), 1);
    s.bytes_written += written;
    ++frame_index;
    if (written == 0) return write_failed();
    return true;
}

bool AVIWriter::write_audio(const void* data, int count) {
    std::lock_guard<std::recursive_mutex> guard(state->lock);
    State& s = *state;
    if (s.audio_stream < 0 && !create_audio_stream()) return fail_write("the sound's format cannot be recorded");
    if (count <= 0 || !data) return fail_write("no sound to write");
    const size_t bytes = static_cast<size_t>(count) * static_cast<size_t>(block_size);
    const size_t written = s.file.write(s.audio_stream, data, bytes, static_cast<uint32_t>(count));
    audio_position += count;
    s.bytes_written += written;
    if (written == 0) return write_failed();
    return true;
}

bool AVIWriter::write_failed() {
    State& s = *state;
    // Without a reason of the system's, the chunk would have taken the part
    // past what its 32-bit sizes can say.
    if (s.file.error().empty()) return fail_write("the part has no room left within 4 GiB");
    if (!s.failure_logged) {
        s.failure_logged = true;
        LOG_INFO("Failed to write " << part_name(s.base_name, s.part) << ": " << s.file.error()
                                    << "; the frames written so far stay playable\n");
    }
    return fail_write(s.file.error());
}

void AVIWriter::close() {
    std::lock_guard<std::recursive_mutex> guard(state->lock);
    release_streams();
}

void AVIWriter::release_streams() {
    State& s = *state;
    if (!s.open) return;
    // A part whose writes failed (a full disk) is still finished with what
    // was written whole, and plays; only a part that could not be finished
    // is worth a word.
    if (!s.file.close() && !s.file.finished()) {
        const std::string line = "AVIWriter: Exception in cleanup: " + part_name(s.base_name, s.part) + ": " +
                                 (s.file.error().empty() ? std::string("the file could not be finished")
                                                         : s.file.error()) +
                                 "\n";
        std::fputs(line.c_str(), stdout);
        std::fflush(stdout);
    }
    s.video_stream = s.audio_stream = -1;
    s.open = false;
}
