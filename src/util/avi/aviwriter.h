// Records the show into AVI files: one video stream of uncompressed 24-bit
// frames and one 16-bit PCM audio stream. A recording named "title.avi" is
// written as "title.01.avi", "title.02.avi", ...: once a part holds
// `default_split_limit` bytes of frames and sound, the next frame starts the
// next part, so no part reaches the 2 GiB that plain AVI files can address.
//
// Frames are bottom-up rows of blue-green-red pixels, each row padded to a
// multiple of 4 bytes (`frame_stride`), exactly as glReadPixels packs them with
// the default pack alignment and as the file stores them.
//
// Every operation takes the writer's re-entrant lock. Operations report
// failure by their result; the writer never ends the run itself. A fatal
// error after a recording started still finishes the part being written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "util/music/music.h"

class AVIWriter {
public:
    static constexpr uint64_t default_split_limit = 0x70800000;

    AVIWriter();
    ~AVIWriter();
    AVIWriter(const AVIWriter&) = delete;
    AVIWriter& operator=(const AVIWriter&) = delete;

    // Starts a recording. `codec` is a four-character code: 0 means
    // uncompressed, -1 means "let the user choose", which is answered with
    // uncompressed without asking since that is the one codec we write.
    // Other codecs fail. `quality` is kept for the codec.
    bool open(const char* name, float fps, int codec, int quality);
    // Why the last open failed to create its part: the part's file name and
    // the system's reason; "" for other failures.
    const std::string& open_error() const;
    // Why the first frame or sound write that failed since open failed: the
    // part's file name and the reason (the system's, for a failed write); ""
    // when none failed.
    const std::string& write_error() const;
    // The frame size; ignored once the first frame has set the format.
    void set_size(int width, int height);
    // The format of the sound that `write_audio` receives.
    void set_audio_format(const WaveFormat& format);
    // One frame of `frame_bytes()` bytes.
    bool write_video_frame(const void* frame);
    // `count` sample frames of the audio format. A count of 0 writes nothing
    // and fails.
    bool write_audio(const void* data, int count);
    // Finishes the part being written.
    void close();

    // The name of the part being written ("title.02.avi"), "" before open.
    std::string current_file() const;

    // Bytes of one padded row, and of one frame, at the current size.
    static size_t frame_stride(int width);
    size_t frame_bytes() const;

    // The bytes after which a part is split (tests use small limits).
    void set_split_limit(uint64_t bytes);

    // "name.avi" -> "name" (at most 259 characters; only a dot after the last
    // '/' or '\' starts an extension), and the file name of a part.
    static std::string base_name(const std::string& name);
    static std::string part_name(const std::string& base, int part);

private:
    struct State;

    bool open_part();
    bool set_frame_format();
    bool create_audio_stream();
    void release_streams();
    // Keeps the reason of a failed write (the first since open); false.
    bool fail_write(const std::string& reason);
    // A chunk the file did not take: logs the system's reason once a part.
    bool write_failed();

    int width = 0;
    int height = 0;
    int frame_index = 0;     // frames written to the current part
    int audio_position = 0;  // sample frames written to the current part
    int block_size = 0;      // bytes per audio sample frame
    float fps = 0.0f;
    std::unique_ptr<State> state;
};
