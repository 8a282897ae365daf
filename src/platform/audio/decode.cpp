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

// ---- Ogg Vorbis ----

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
    return true;
}

// ---- MPEG audio ----

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
    return true;
}

}  // namespace

bool decode(const void* data, size_t size, Song& song, std::string& error) {
    error.clear();
    MemoryFile file{static_cast<const unsigned char*>(data), data ? size : 0, 0};
    if (file.size >= 4 && std::memcmp(file.data, "OggS", 4) == 0)
        return decode_vorbis(file, song, error);
    return decode_mpeg(file, song, error);
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
