// Whole-song decoding from a memory block: libvorbisfile for Ogg Vorbis,
// libmpg123 for MPEG audio. Both read the block through callbacks, so they
// can seek in it (Vorbis needs that for chained files, mpg123 for its
// length scan and gapless trimming).
#include <mpg123.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>
#include <sstream>

#include "platform/audio/song.h"

namespace audio {
namespace {

struct MemoryFile {
    const unsigned char* data;
    size_t size;
    size_t pos;

    size_t read(void* out, size_t n) {
        n = std::min(n, size - pos);
        if (n == 0) return 0;
        std::memcpy(out, data + pos, n);
        pos += n;
        return n;
    }
    // New position, or -1 when it would lie outside the block.
    int64_t seek(int64_t offset, int whence) {
        int64_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? static_cast<int64_t>(pos)
                                                                   : static_cast<int64_t>(size);
        int64_t target = base + offset;
        if (target < 0 || target > static_cast<int64_t>(size)) return -1;
        pos = static_cast<size_t>(target);
        return target;
    }
};

std::string format_change(const char* what, long from, long to) {
    std::ostringstream s;
    s << "the " << what << " changes from " << from << " to " << to
      << " in the middle of the stream";
    return s.str();
}

// Sizes the buffer once for the length that the file announces. The file
// may lie, so a claim beyond an hour is not believed: the buffer then grows
// with what is really decoded.
void reserve_frames(Song& song, int64_t frames) {
    const int64_t hour = 3600 * static_cast<int64_t>(song.rate);
    if (frames > 0 && frames <= hour) song.samples.reserve(static_cast<size_t>(frames) * song.channels);
}

// A file cut short decodes without complaint to what is left of it; what
// the file says of its own length tells. Half a second of sound missing at
// the end is more than any decoder's trimming or a damaged frame loses.
constexpr double kMissingSecondsAllowed = 0.5;

std::string seconds_text(double seconds) {
    std::ostringstream s;
    s.setf(std::ios::fixed);
    s.precision(1);
    s << seconds;
    return s.str();
}

// ---- Ogg Vorbis ----

// Whether the last whole page of the file ends its stream (the end-of-stream
// flag): a file cut short ends in a page of the middle of the stream, or in
// part of one.
bool ogg_ends_its_stream(const unsigned char* data, size_t size) {
    size_t pos = 0;
    bool last_ends = false;
    while (size - pos >= 27 && std::memcmp(data + pos, "OggS", 4) == 0) {
        const size_t segments = data[pos + 26];
        if (size - pos - 27 < segments) break;
        size_t body = 0;
        for (size_t i = 0; i < segments; ++i) body += data[pos + 27 + i];
        const size_t page = 27 + segments + body;
        if (size - pos < page) break;
        last_ends = (data[pos + 5] & 0x04) != 0;
        pos += page;
    }
    return last_ends;
}

size_t ogg_read(void* out, size_t size, size_t count, void* file) {
    if (size == 0) return 0;
    return static_cast<MemoryFile*>(file)->read(out, size * count) / size;
}
int ogg_seek(void* file, ogg_int64_t offset, int whence) {
    return static_cast<MemoryFile*>(file)->seek(offset, whence) < 0 ? -1 : 0;
}
long ogg_tell(void* file) { return static_cast<long>(static_cast<MemoryFile*>(file)->pos); }

bool decode_vorbis(MemoryFile& file, Song& song, std::string& error) {
    OggVorbis_File vf;
    ov_callbacks callbacks{ogg_read, ogg_seek, nullptr, ogg_tell};
    if (ov_open_callbacks(&file, &vf, nullptr, 0, callbacks) != 0) {
        error = "not a readable Ogg Vorbis stream";
        return false;
    }
    struct Closer {
        OggVorbis_File* vf;
        ~Closer() { ov_clear(vf); }
    } closer{&vf};

    // Every link of a chained file must share the first link's format.
    const vorbis_info* first = ov_info(&vf, 0);
    for (long link = 1; link < ov_streams(&vf); ++link) {
        const vorbis_info* info = ov_info(&vf, link);
        if (info->rate != first->rate) {
            error = format_change("sample rate", first->rate, info->rate);
            return false;
        }
        if (info->channels != first->channels) {
            error = format_change("channel count", first->channels, info->channels);
            return false;
        }
    }
    // Opening a chained file can leave it in the last link: start at the top.
    if (ov_raw_seek(&vf, 0) != 0) {
        error = "damaged Ogg Vorbis data";
        return false;
    }
    song.rate = static_cast<int>(first->rate);
    song.channels = first->channels;
    song.samples.clear();
    reserve_frames(song, ov_pcm_total(&vf, -1));

    for (;;) {
        float** pcm = nullptr;
        int link = 0;
        long got = ov_read_float(&vf, &pcm, 4096, &link);
        if (got == 0) break;
        if (got == OV_HOLE) continue;  // a gap in the data: carry on after it
        if (got < 0) {
            error = "damaged Ogg Vorbis data";
            return false;
        }
        for (long i = 0; i < got; ++i)
            for (int c = 0; c < song.channels; ++c) song.samples.push_back(pcm[c][i]);
    }
    if (!ogg_ends_its_stream(file.data, file.size)) {
        error = "the stream stops before its end after " + seconds_text(double(song.frames()) / song.rate) +
                " seconds: the file is cut short";
        return false;
    }
    return true;
}

// ---- MPEG audio ----

uint32_t big_endian32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 | static_cast<uint32_t>(p[2]) << 8 |
           p[3];
}

}  // namespace

uint64_t mp3_stated_frames(const void* bytes, size_t size) {
    const auto* data = static_cast<const unsigned char*>(bytes);
    size_t pos = 0;
    // An ID3v2 tag first: its size in 7-bit bytes, a footer when flagged.
    if (size >= 10 && std::memcmp(data, "ID3", 3) == 0) {
        pos = 10 + (static_cast<size_t>(data[6] & 0x7F) << 21 | static_cast<size_t>(data[7] & 0x7F) << 14 |
                    static_cast<size_t>(data[8] & 0x7F) << 7 | static_cast<size_t>(data[9] & 0x7F));
        if (data[5] & 0x10) pos += 10;
    }
    // The first frame must follow at once: a Layer III frame header.
    if (pos > size || size - pos < 4 || data[pos] != 0xFF || (data[pos + 1] & 0xE0) != 0xE0) return 0;
    const int version = (data[pos + 1] >> 3) & 3;  // 3: MPEG-1, 2: MPEG-2, 0: MPEG-2.5
    const int layer = (data[pos + 1] >> 1) & 3;     // 1: Layer III
    if (version == 1 || layer != 1) return 0;
    const bool mono = (data[pos + 3] >> 6) == 3;
    const size_t side_info = version == 3 ? (mono ? 17 : 32) : (mono ? 9 : 17);
    const size_t tag = pos + 4 + side_info;
    if (tag > size || size - tag < 12) return 0;
    if (std::memcmp(data + tag, "Xing", 4) != 0 && std::memcmp(data + tag, "Info", 4) != 0) return 0;
    if (!(big_endian32(data + tag + 4) & 1)) return 0;  // no frame count
    const uint64_t samples_per_frame = version == 3 ? 1152 : 576;
    return big_endian32(data + tag + 8) * samples_per_frame;
}

namespace {

mpg123_ssize_t mp3_read(void* file, void* out, size_t n) {
    return static_cast<mpg123_ssize_t>(static_cast<MemoryFile*>(file)->read(out, n));
}
off_t mp3_seek(void* file, off_t offset, int whence) {
    return static_cast<off_t>(static_cast<MemoryFile*>(file)->seek(offset, whence));
}

bool decode_mpeg(MemoryFile& file, Song& song, std::string& error) {
    static std::once_flag init;
    std::call_once(init, [] { mpg123_init(); });

    int status = MPG123_OK;
    mpg123_handle* mh = mpg123_new(nullptr, &status);
    if (!mh) {
        error = "cannot start the MPEG decoder";
        return false;
    }
    struct Closer {
        mpg123_handle* mh;
        ~Closer() {
            mpg123_close(mh);
            mpg123_delete(mh);
        }
    } closer{mh};

    // Floats at whatever rate and channel count the file has; no messages on stderr.
    mpg123_param(mh, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
    mpg123_format_none(mh);
    const long* rates = nullptr;
    size_t num_rates = 0;
    mpg123_rates(&rates, &num_rates);
    for (size_t i = 0; i < num_rates; ++i)
        mpg123_format(mh, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_FLOAT_32);

    if (mpg123_replace_reader_handle(mh, mp3_read, mp3_seek, nullptr) != MPG123_OK ||
        mpg123_open_handle(mh, &file) != MPG123_OK) {
        error = "not a readable MPEG audio stream";
        return false;
    }
    mpg123_scan(mh);  // exact length, so the buffer is sized once

    song.rate = 0;
    song.channels = 0;
    song.samples.clear();
    std::vector<float> chunk(16384);
    for (;;) {
        size_t done = 0;
        int result = mpg123_read(mh, chunk.data(), chunk.size() * sizeof(float), &done);
        if (result == MPG123_NEW_FORMAT) {
            long rate = 0;
            int channels = 0, encoding = 0;
            mpg123_getformat(mh, &rate, &channels, &encoding);
            if (song.rate == 0) {
                song.rate = static_cast<int>(rate);
                song.channels = channels;
                reserve_frames(song, mpg123_length(mh));
            } else if (rate != song.rate) {
                error = format_change("sample rate", song.rate, rate);
                return false;
            } else if (channels != song.channels) {
                error = format_change("channel count", song.channels, channels);
                return false;
            }
        }
        song.samples.insert(song.samples.end(), chunk.data(), chunk.data() + done / sizeof(float));
        if (result == MPG123_DONE) break;
        if (result != MPG123_OK && result != MPG123_NEW_FORMAT) {
            error = song.rate ? "damaged MPEG audio data" : "not an MP3 or Ogg Vorbis stream";
            return false;
        }
    }
    if (song.rate == 0) {
        error = "not an MP3 or Ogg Vorbis stream";
        return false;
    }
    const uint64_t stated = mp3_stated_frames(file.data, file.size);
    if (stated > song.frames() &&
        static_cast<double>(stated - song.frames()) > kMissingSecondsAllowed * song.rate) {
        error = "the stream stops after " + seconds_text(double(song.frames()) / song.rate) + " of its " +
                seconds_text(double(stated) / song.rate) + " seconds: the file is cut short";
        return false;
    }
    return true;
}

}  // namespace

bool decode(const void* data, size_t size, Song& song, std::string& error) {
    error.clear();
    MemoryFile file{static_cast<const unsigned char*>(data), data ? size : 0, 0};
    const bool decoded = file.size >= 4 && std::memcmp(file.data, "OggS", 4) == 0 ? decode_vorbis(file, song, error)
                                                                                : decode_mpeg(file, song, error);
    if (decoded && song.frames() == 0) {
        error = "the stream holds no sound";
        return false;
    }
    return decoded;
}

std::vector<int16_t> to_pcm16(const std::vector<float>& samples) {
    std::vector<int16_t> out(samples.size());
    for (size_t i = 0; i < samples.size(); ++i) {
        long v = std::lrintf(samples[i] * 32768.0f);
        out[i] = static_cast<int16_t>(std::clamp(v, -32768L, 32767L));
    }
    return out;
}

}  // namespace audio
