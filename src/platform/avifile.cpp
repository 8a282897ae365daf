#include "platform/avifile.h"

#include <fcntl.h>
#include <sys/uio.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <cstdint>
#include <limits>

namespace platform {
namespace {

constexpr uint32_t AVIF_HASINDEX = 0x10;
constexpr uint32_t AVIF_ISINTERLEAVED = 0x100;
constexpr uint64_t largest_file = std::numeric_limits<uint32_t>::max();

// Little-endian bytes of RIFF headers.
class Bytes {
public:
    void u16(uint32_t v) {
        out_.push_back(static_cast<uint8_t>(v));
        out_.push_back(static_cast<uint8_t>(v >> 8));
    }
    void u32(uint32_t v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    }
    void fourcc(const char (&s)[5]) { u32(make_fourcc(s)); }
    void raw(const uint8_t* data, size_t n) { out_.insert(out_.end(), data, data + n); }
    // Opens a chunk (or a list when `list_type` is given) whose size is
    // filled in by `end`.
    size_t begin(const char (&id)[5], uint32_t list_type = 0) {
        fourcc(id);
        size_t at = out_.size();
        u32(0);
        if (list_type) u32(list_type);
        return at;
    }
    void end(size_t at) {
        uint32_t size = static_cast<uint32_t>(out_.size() - at - 4);
        for (int i = 0; i < 4; ++i) out_[at + i] = static_cast<uint8_t>(size >> (8 * i));
        if (size % 2) out_.push_back(0);  // chunks start on even offsets
    }
    size_t size() const { return out_.size(); }
    std::vector<uint8_t>& data() { return out_; }

private:
    std::vector<uint8_t> out_;
};

uint32_t chunk_id_for(size_t stream, uint32_t type) {
    const char* suffix = type == make_fourcc("auds") ? "wb" : "db";
    char id[5] = {static_cast<char>('0' + stream / 10 % 10), static_cast<char>('0' + stream % 10),
                  suffix[0], suffix[1], 0};
    return make_fourcc(id);
}

}  // namespace

AviFile::~AviFile() { close(); }

bool AviFile::create(const std::string& path) {
    if (fd_ >= 0) return false;
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd_ < 0) {
        error_ = std::strerror(errno);
        return false;
    }
    failed_ = false;
    finished_ = false;
    error_.clear();
    end_ = 0;
    streams_.clear();
    index_.clear();
    // The headers are written over this space when the file is closed.
    std::vector<uint8_t> reserved(header_space, 0);
    put(reserved.data(), reserved.size());
    return !failed_;
}

int AviFile::create_stream(const AviStreamInfo& info) {
    if (fd_ < 0 || streams_.size() >= 100) return -1;
    Stream s;
    s.info = info;
    s.chunk_id = chunk_id_for(streams_.size(), info.type);
    streams_.push_back(s);
    return static_cast<int>(streams_.size() - 1);
}

bool AviFile::has_stream(int stream) const {
    return fd_ >= 0 && stream >= 0 && stream < static_cast<int>(streams_.size());
}

bool AviFile::set_stream_info(int stream, const AviStreamInfo& info) {
    if (!has_stream(stream)) return false;
    streams_[stream].info = info;
    return true;
}

bool AviFile::set_format(int stream, const std::vector<uint8_t>& format) {
    if (!has_stream(stream)) return false;
    streams_[stream].format = format;
    return true;
}

bool AviFile::put(const void* a, size_t a_bytes, const void* b, size_t b_bytes, const void* c,
                  size_t c_bytes) {
    iovec pieces[3] = {{const_cast<void*>(a), a_bytes},
                       {const_cast<void*>(b), b_bytes},
                       {const_cast<void*>(c), c_bytes}};
    iovec* next = pieces;
    int left = 3;
    while (!failed_) {
        while (left > 0 && next->iov_len == 0) {
            ++next;
            --left;
        }
        if (left == 0) break;
        const ssize_t n = ::writev(fd_, next, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (error_.empty()) error_ = n < 0 ? std::strerror(errno) : "nothing written";
            failed_ = true;
            break;
        }
        end_ += static_cast<uint64_t>(n);
        // Move past what was written; a piece written in part continues.
        for (size_t done = static_cast<size_t>(n); done > 0;) {
            const size_t step = done < next->iov_len ? done : next->iov_len;
            next->iov_base = static_cast<char*>(next->iov_base) + step;
            next->iov_len -= step;
            done -= step;
            if (next->iov_len == 0) {
                ++next;
                --left;
            }
        }
    }
    return !failed_;
}

size_t AviFile::write(int stream, const void* data, size_t bytes, uint32_t samples) {
    if (failed_ || !has_stream(stream)) return 0;
    const size_t padded = bytes + bytes % 2;
    // This chunk, its index entry and the index header must keep the file
    // within what a 32-bit RIFF size can describe.
    const uint64_t index_end = 8 + 16 * (index_.size() + 1);
    if (bytes > largest_file || end_ + 8 + padded + index_end > largest_file) return 0;

    Stream& s = streams_[stream];
    IndexEntry entry{s.chunk_id, keyframe_flag, static_cast<uint32_t>(end_ - (header_space - 4)),
                     static_cast<uint32_t>(bytes), stream, samples};
    const uint8_t header[8] = {
        static_cast<uint8_t>(s.chunk_id),      static_cast<uint8_t>(s.chunk_id >> 8),
        static_cast<uint8_t>(s.chunk_id >> 16), static_cast<uint8_t>(s.chunk_id >> 24),
        static_cast<uint8_t>(bytes),           static_cast<uint8_t>(bytes >> 8),
        static_cast<uint8_t>(bytes >> 16),     static_cast<uint8_t>(bytes >> 24)};
    const uint8_t pad = 0;
    const uint64_t chunk_start = end_;
    if (!put(header, sizeof header, data, bytes, &pad, bytes % 2)) {
        cut_to(chunk_start);  // drop the part of the chunk that got written
        return 0;
    }

    entry.stream = stream;
    entry.samples = samples;
    index_.push_back(entry);
    s.length += samples;
    if (bytes > s.largest_chunk) s.largest_chunk = static_cast<uint32_t>(bytes);
    return bytes;
}

std::vector<uint8_t> AviFile::header_bytes(uint32_t riff_size, uint32_t movi_size) const {
    const Stream* video = nullptr;
    uint32_t largest_chunk = 0;
    uint64_t bytes_per_second = 0;
    for (const Stream& s : streams_) {
        if (!video && s.info.type == make_fourcc("vids")) video = &s;
        if (s.largest_chunk > largest_chunk) largest_chunk = s.largest_chunk;
        if (s.info.scale) {
            uint64_t sample_bytes = s.info.sample_size ? s.info.sample_size : s.largest_chunk;
            bytes_per_second += sample_bytes * s.info.rate / s.info.scale;
        }
    }

    Bytes b;
    b.begin("RIFF", make_fourcc("AVI "));  // its size is set below
    size_t hdrl = b.begin("LIST", make_fourcc("hdrl"));

    size_t avih = b.begin("avih");
    uint32_t usec_per_frame = 0;
    if (video && video->info.rate)
        usec_per_frame = static_cast<uint32_t>(1000000ull * video->info.scale / video->info.rate);
    b.u32(usec_per_frame);
    b.u32(static_cast<uint32_t>(bytes_per_second > largest_file ? largest_file : bytes_per_second));
    b.u32(0);  // padding granularity
    b.u32(AVIF_HASINDEX | AVIF_ISINTERLEAVED);
    b.u32(video ? video->length : 0);  // total frames
    b.u32(0);                          // initial frames
    b.u32(static_cast<uint32_t>(streams_.size()));
    b.u32(largest_chunk);
    b.u32(video ? video->info.frame_width : 0);
    b.u32(video ? video->info.frame_height : 0);
    for (int i = 0; i < 4; ++i) b.u32(0);
    b.end(avih);

    for (const Stream& s : streams_) {
        size_t strl = b.begin("LIST", make_fourcc("strl"));
        size_t strh = b.begin("strh");
        b.u32(s.info.type);
        b.u32(s.info.handler);
        b.u32(0);  // flags
        b.u16(0);  // priority
        b.u16(0);  // language
        b.u32(0);  // initial frames
        b.u32(s.info.scale);
        b.u32(s.info.rate);
        b.u32(0);  // start
        b.u32(s.length);
        b.u32(s.info.suggested_buffer_size);
        b.u32(0);  // quality
        b.u32(s.info.sample_size);
        b.u16(0);
        b.u16(0);
        b.u16(s.info.frame_width);
        b.u16(s.info.frame_height);
        b.end(strh);
        size_t strf = b.begin("strf");
        b.raw(s.format.data(), s.format.size());
        b.end(strf);
        size_t strn = b.begin("strn");
        b.raw(reinterpret_cast<const uint8_t*>(s.info.name.c_str()), s.info.name.size() + 1);
        b.end(strn);
        b.end(strl);
    }
    b.end(hdrl);

    // Filler up to the 'movi' list, which sits at the end of the reserved space.
    const size_t movi_list = header_space - 12;
    if (b.size() + 8 > movi_list) return {};
    size_t junk = b.begin("JUNK");
    b.data().resize(movi_list, 0);
    b.end(junk);
    b.begin("LIST", make_fourcc("movi"));

    std::vector<uint8_t>& out = b.data();
    for (int i = 0; i < 4; ++i) {
        out[4 + i] = static_cast<uint8_t>(riff_size >> (8 * i));
        out[movi_list + 4 + i] = static_cast<uint8_t>(movi_size >> (8 * i));
    }
    return out;
}

bool AviFile::cut_to(uint64_t size) {
    if (::ftruncate(fd_, static_cast<off_t>(size)) != 0 ||
        ::lseek(fd_, static_cast<off_t>(size), SEEK_SET) != static_cast<off_t>(size))
        return false;
    end_ = size;
    return true;
}

bool AviFile::put_index() {
    Bytes idx1;
    size_t at = idx1.begin("idx1");
    for (const IndexEntry& e : index_) {
        idx1.u32(e.chunk_id);
        idx1.u32(e.flags);
        idx1.u32(e.offset);
        idx1.u32(e.size);
    }
    idx1.end(at);
    return put(idx1.data().data(), idx1.size());
}

bool AviFile::close() {
    if (fd_ < 0) return true;
    // After a failed write the chunks written whole still make a playable
    // file: it ends after the last of them (write cut it there), then the
    // index. When the index does not fit either, the last chunks make room.
    const bool wrote_all = !failed_;
    failed_ = false;
    uint64_t movi_end = end_;
    while (!put_index() && !wrote_all && !index_.empty()) {
        const IndexEntry last = index_.back();
        movi_end = last.offset + (header_space - 4);
        if (!cut_to(movi_end)) break;
        streams_[last.stream].length -= last.samples;
        index_.pop_back();
        failed_ = false;
    }
    const uint32_t movi_size = static_cast<uint32_t>(movi_end - (header_space - 4));

    std::vector<uint8_t> header = header_bytes(static_cast<uint32_t>(end_ - 8), movi_size);
    if (header.empty()) failed_ = true;
    for (size_t at = 0; !failed_ && at < header.size();) {
        const ssize_t n = ::pwrite(fd_, header.data() + at, header.size() - at, static_cast<off_t>(at));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) failed_ = true;
        else at += static_cast<size_t>(n);
    }
    if (::close(fd_) != 0) failed_ = true;
    finished_ = !failed_;
    fd_ = -1;
    streams_.clear();
    index_.clear();
    return wrote_all && !failed_;
}

}  // namespace platform
