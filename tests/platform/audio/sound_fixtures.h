// Sounds made in the test: tones as interleaved floats, Ogg Vorbis files
// encoded from them with libvorbisenc, and hand-made silent MPEG-1 Layer III
// frames.
#pragma once

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace sound_fixtures {

// `frames` frames of a sine of `hz` at `amplitude` in every channel.
inline std::vector<float> tone(int rate, int channels, int frames, double hz, float amplitude = 0.5f) {
    std::vector<float> samples(static_cast<size_t>(frames) * channels);
    const double pi = std::acos(-1.0);
    for (int i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            samples[static_cast<size_t>(i) * channels + c] =
                amplitude * static_cast<float>(std::sin(2.0 * pi * hz * i / rate));
    return samples;
}

// One logical Ogg Vorbis stream of the interleaved samples.
inline std::vector<uint8_t> encode_ogg(int rate, int channels, const std::vector<float>& samples,
                                       int serial = 1) {
    std::vector<uint8_t> out;
    vorbis_info vi;
    vorbis_info_init(&vi);
    vorbis_encode_init_vbr(&vi, channels, rate, 0.5f);
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_dsp_state vd;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block vb;
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, serial);

    ogg_page page;
    auto write_page = [&] {
        out.insert(out.end(), page.header, page.header + page.header_len);
        out.insert(out.end(), page.body, page.body + page.body_len);
    };
    ogg_packet header, comments, codebooks;
    vorbis_analysis_headerout(&vd, &vc, &header, &comments, &codebooks);
    ogg_stream_packetin(&os, &header);
    ogg_stream_packetin(&os, &comments);
    ogg_stream_packetin(&os, &codebooks);
    while (ogg_stream_flush(&os, &page)) write_page();

    auto drain = [&] {
        ogg_packet packet;
        while (vorbis_analysis_blockout(&vd, &vb) == 1) {
            vorbis_analysis(&vb, nullptr);
            vorbis_bitrate_addblock(&vb);
            while (vorbis_bitrate_flushpacket(&vd, &packet)) {
                ogg_stream_packetin(&os, &packet);
                while (ogg_stream_pageout(&os, &page)) write_page();
            }
        }
    };
    const size_t frames = samples.size() / channels;
    for (size_t done = 0; done < frames;) {
        const size_t n = std::min<size_t>(4096, frames - done);
        float** buffer = vorbis_analysis_buffer(&vd, static_cast<int>(n));
        for (size_t i = 0; i < n; ++i)
            for (int c = 0; c < channels; ++c) buffer[c][i] = samples[(done + i) * channels + c];
        vorbis_analysis_wrote(&vd, static_cast<int>(n));
        drain();
        done += n;
    }
    vorbis_analysis_wrote(&vd, 0);
    drain();
    while (ogg_stream_flush(&os, &page)) write_page();

    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    return out;
}

// A tone of `seconds` as an Ogg Vorbis file.
inline std::vector<uint8_t> ogg_tone(int rate, int channels, double seconds, double hz = 440.0,
                                     int serial = 1) {
    return encode_ogg(rate, channels, tone(rate, channels, static_cast<int>(seconds * rate), hz),
                      serial);
}

// `count` silent MPEG-1 Layer III frames at 128 kbit/s: rate 48000 or
// 32000, stereo or mono. Zero side information means no coded data, so each
// frame decodes to 1152 frames of silence.
inline std::vector<uint8_t> silent_mp3_frames(int rate, int channels, int count) {
    const int bytes = 144 * 128000 / rate;  // no padding at these rates
    std::vector<uint8_t> frame(bytes, 0);
    frame[0] = 0xFF;
    frame[1] = 0xFB;                          // MPEG-1, Layer III, no CRC
    frame[2] = rate == 48000 ? 0x94 : 0x98;   // 128 kbit/s; 48 or 32 kHz
    frame[3] = channels == 1 ? 0xC0 : 0x00;   // mono or stereo
    std::vector<uint8_t> out;
    for (int i = 0; i < count; ++i) out.insert(out.end(), frame.begin(), frame.end());
    return out;
}

inline std::vector<uint8_t> concat(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The first 1/`parts` of a file's bytes, as a copy cut short leaves it.
inline std::vector<uint8_t> cut(const std::vector<uint8_t>& bytes, size_t parts) {
    return std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<long>(bytes.size() / parts));
}

}  // namespace sound_fixtures
