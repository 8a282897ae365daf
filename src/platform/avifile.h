// A RIFF AVI 1.0 file writer: the little of an AVI file library that the
// recorder needs. Streams are numbered in the order they are created; their
// data chunks ("00db" for video, "01wb" for audio, ...) are appended to the
// 'movi' list as they come, and closing the file writes the 'idx1' index and
// the header list and patches every size, so only a closed file is complete.
//
// Layout of a closed file:
//   RIFF 'AVI ' { LIST 'hdrl' { avih, LIST 'strl' { strh, strf, strn } ... },
//                 JUNK (filler up to the fixed start of the movie data),
//                 LIST 'movi' { chunks }, idx1 }
// The header list is written last, into space reserved at the start, since a
// stream may be added after the first chunks were written.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

constexpr uint32_t make_fourcc(const char (&s)[5]) {
    return static_cast<uint32_t>(static_cast<uint8_t>(s[0])) |
           static_cast<uint32_t>(static_cast<uint8_t>(s[1])) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(s[2])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(s[3])) << 24;
}

// What a stream header ('strh') says; fields not listed here are written as 0.
struct AviStreamInfo {
    uint32_t type = 0;             // "vids" or "auds"
    uint32_t handler = 0;          // codec four-character code, 0 for none
    uint32_t scale = 1;            // rate / scale = samples per second
    uint32_t rate = 0;
    uint32_t suggested_buffer_size = 0;
    uint32_t sample_size = 0;      // 0: one chunk is one sample (video)
    uint16_t frame_width = 0;      // frame rectangle (0, 0, width, height)
    uint16_t frame_height = 0;
    std::string name;              // 'strn'
};

class AviFile {
public:
    // Bytes before the movie data: the header list and its filler.
    static constexpr uint32_t header_space = 4096;
    // Index entry flag for chunks that decode on their own.
    static constexpr uint32_t keyframe_flag = 0x10;

    AviFile() = default;
    ~AviFile();  // closes (finishes) the file
    AviFile(const AviFile&) = delete;
    AviFile& operator=(const AviFile&) = delete;

    // Creates (truncates) the file. False when it cannot be created or this
    // object already has a file open.
    bool create(const std::string& path);
    bool is_open() const { return fd_ >= 0; }

    // Adds a stream; returns its number, or -1 without an open file.
    int create_stream(const AviStreamInfo& info);
    // Replaces the stream's header fields (e.g. once its frame size is known).
    bool set_stream_info(int stream, const AviStreamInfo& info);
    // Sets the stream's format record ('strf'): a BITMAPINFOHEADER for video,
    // a WAVEFORMATEX for audio.
    bool set_format(int stream, const std::vector<uint8_t>& format);

    // Appends one data chunk holding `samples` samples of the stream. Returns
    // the data bytes written, 0 on failure (no file, unknown stream, I/O error,
    // or a chunk that would take the file past the 4 GiB that RIFF sizes hold).
    // After an I/O error (a full disk, a file-size limit) the file is cut back
    // to the chunks written whole and takes no more chunks.
    size_t write(int stream, const void* data, size_t bytes, uint32_t samples);

    // The system's reason for the first failed write of this file, "" if
    // none, or for a file that could not be created.
    const std::string& error() const { return error_; }

    // Finishes the file: index, headers, sizes; after a failed write, of the
    // chunks written whole, so the file still plays (when even the index does
    // not fit, the last chunks are left out to make room for it). False when
    // anything written to this file failed. The object can then create
    // another file.
    bool close();
    // Whether the last close finished the file, whatever failed before: its
    // index, headers and sizes written, so it plays.
    bool finished() const { return finished_; }

private:
    struct Stream {
        AviStreamInfo info;
        std::vector<uint8_t> format;
        uint32_t chunk_id = 0;
        uint32_t length = 0;       // samples written
        uint32_t largest_chunk = 0;
    };
    struct IndexEntry {
        uint32_t chunk_id, flags, offset, size;
        int stream;
        uint32_t samples;
    };

    bool has_stream(int stream) const;
    // Cuts the file back to `size` bytes and appends from there.
    bool cut_to(uint64_t size);
    bool put_index();
    // The reserved space at the start of the file, filled in.
    std::vector<uint8_t> header_bytes(uint32_t riff_size, uint32_t movi_size) const;
    // Appends the pieces in one system call where the system allows.
    bool put(const void* a, size_t a_bytes, const void* b = nullptr, size_t b_bytes = 0,
             const void* c = nullptr, size_t c_bytes = 0);

    int fd_ = -1;
    bool failed_ = false;
    bool finished_ = false;
    std::string error_;
    uint64_t end_ = 0;  // file size so far
    std::vector<Stream> streams_;
    std::vector<IndexEntry> index_;
};

}  // namespace platform
