#include "util/avi/aviwriter.h"

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>

#include "platform/files.h"
#include "support/test_support.h"
#include "util/avi/avi_reader.h"

namespace {

using avi_test::read_avi;
using avi_test::u16_at;
using avi_test::u32_at;
using Bytes = std::vector<uint8_t>;

WaveFormat pcm16(uint32_t rate, uint16_t channels) {
    WaveFormat f;
    f.format_tag = 1;
    f.channels = channels;
    f.samples_per_sec = rate;
    f.bits_per_sample = 16;
    f.block_align = static_cast<uint16_t>(channels * 2);
    f.avg_bytes_per_sec = rate * f.block_align;
    return f;
}

// Frame `n` as the recorder hands it over: bottom row first, each row padded
// to 4 bytes; the pad bytes hold junk, as after a read-back.
Bytes make_frame(int w, int h, int n) {
    const size_t stride = AVIWriter::frame_stride(w);
    Bytes frame(stride * h, 0xEE);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w * 3; ++x) frame[y * stride + x] = static_cast<uint8_t>(x * 7 + y * 13 + n * 29);
    return frame;
}

// The picture a decoder shows for a frame: top row first, no padding.
Bytes top_down_pixels(const Bytes& frame, int w, int h) {
    const size_t stride = AVIWriter::frame_stride(w);
    Bytes out;
    for (int y = h - 1; y >= 0; --y)
        out.insert(out.end(), frame.begin() + y * stride, frame.begin() + y * stride + w * 3);
    return out;
}

Bytes make_sound(int count, int block, int n) {
    Bytes sound(static_cast<size_t>(count) * block);
    for (size_t i = 0; i < sound.size(); ++i) sound[i] = static_cast<uint8_t>(i * 3 + n * 11);
    return sound;
}

// Drives a writer the way the frame loop does and keeps what it handed over.
struct Recording {
    int w, h;
    WaveFormat format;
    int samples_per_frame;  // 0: no sound
    std::vector<Bytes> frames;
    std::vector<Bytes> sounds;

    void record(AVIWriter& writer, int frame_count) {
        for (int i = 0; i < frame_count; ++i) {
            const int n = static_cast<int>(frames.size());
            frames.push_back(make_frame(w, h, n));
            ASSERT_TRUE(writer.write_video_frame(frames.back().data())) << "frame " << n;
            if (samples_per_frame) {
                sounds.push_back(make_sound(samples_per_frame, format.block_align, n));
                ASSERT_TRUE(writer.write_audio(sounds.back().data(), samples_per_frame));
            }
        }
    }
};

void start(AVIWriter& writer, const std::string& name, const Recording& r) {
    ASSERT_TRUE(writer.open(name.c_str(), 30.0f, -1, 100));
    writer.set_size(r.w, r.h);
    writer.set_audio_format(r.format);
}

std::string md5_of(const Bytes& data) {
    test_support::TempDir dir;
    const std::string path = dir.file("frame");
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data.data()), data.size());
    return avi_test::run("md5sum " + avi_test::quoted(path)).substr(0, 32);
}

// ffprobe and ffmpeg (Debian's, as a checker) read the file as raw bgr24
// video at 30 fps showing exactly `frames`, and 16-bit PCM giving exactly
// `sound`.
void expect_ffmpeg_reads(const std::string& path, const Recording& r,
                         const std::vector<Bytes>& frames, const Bytes& sound) {
    SCOPED_TRACE(path);
    std::string expected_streams = "codec_name=rawvideo|codec_type=video|width=" +
                                   std::to_string(r.w) + "|height=" + std::to_string(r.h) +
                                   "|pix_fmt=bgr24|r_frame_rate=30/1\n";
    if (r.samples_per_frame)
        expected_streams += "codec_name=pcm_s16le|codec_type=audio|sample_rate=" +
                            std::to_string(r.format.samples_per_sec) +
                            "|channels=" + std::to_string(r.format.channels) + "|r_frame_rate=0/0\n";
    EXPECT_EQ(avi_test::run("ffprobe -v error -show_entries stream=codec_type,codec_name,pix_fmt,"
                            "width,height,r_frame_rate,sample_rate,channels -of compact=p=0 " +
                            avi_test::quoted(path)),
              expected_streams);

    std::vector<std::string> decoded;
    std::istringstream lines(
        avi_test::run("ffmpeg -v error -i " + avi_test::quoted(path) + " -map 0:v -f framemd5 -"));
    for (std::string line; std::getline(lines, line);)
        if (!line.empty() && line[0] != '#') decoded.push_back(line.substr(line.size() - 32));
    std::vector<std::string> written;
    for (const Bytes& frame : frames) written.push_back(md5_of(top_down_pixels(frame, r.w, r.h)));
    EXPECT_EQ(decoded, written);

    if (r.samples_per_frame) {
        std::string pcm = avi_test::run("ffmpeg -v error -i " + avi_test::quoted(path) +
                                        " -map 0:a -f s16le -");
        EXPECT_TRUE(pcm == std::string(sound.begin(), sound.end())) << "decoded sound differs";
    }
}

Bytes joined(const std::vector<Bytes>& pieces) {
    Bytes out;
    for (const Bytes& p : pieces) out.insert(out.end(), p.begin(), p.end());
    return out;
}

TEST(AviWriterNames, BaseNameCutsOnlyTheLastExtension) {
    struct Case {
        const char* name;
        const char* base;
    } cases[] = {
        {"show.avi", "show"},
        {"Wembrel - tidewell.avi", "Wembrel - tidewell"},
        {"dir.v2/clip", "dir.v2/clip"},
        {"dir.v2\\clip", "dir.v2\\clip"},
        {"a.b.c", "a.b"},
        {"noext", "noext"},
        {".avi", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(AVIWriter::base_name(c.name), c.base) << c.name;

    const std::string long_name = std::string(300, 'x') + ".avi";
    EXPECT_EQ(AVIWriter::base_name(long_name), std::string(259, 'x'));
    EXPECT_EQ(AVIWriter::base_name("clip.v" + std::string(300, 'z')), "clip")
        << "the cut to 259 characters comes before the extension is looked for";

    EXPECT_EQ(AVIWriter::part_name("show", 1), "show.01.avi");
    EXPECT_EQ(AVIWriter::part_name("show", 12), "show.12.avi");
    EXPECT_EQ(AVIWriter::part_name("show", 100), "show.100.avi");
}

TEST(AviWriterNames, FramesAreRowsPaddedToFourBytes) {
    struct Case {
        int width;
        size_t stride;
    } cases[] = {{1, 4}, {2, 8}, {4, 12}, {33, 100}, {640, 1920}, {1366, 4100}, {0, 0}};
    for (const Case& c : cases) EXPECT_EQ(AVIWriter::frame_stride(c.width), c.stride) << c.width;
}

// The first recording of the show: 64x36 frames with 44.1 kHz stereo sound.
TEST(AviWriter, RecordingHasTheHeadersIndexAndDataOfBothStreams) {
    test_support::TempDir dir;
    Recording r{64, 36, pcm16(44100, 2), 1470, {}, {}};
    {
        AVIWriter writer;
        start(writer, dir.file("show.avi"), r);
        r.record(writer, 3);
    }  // destruction closes the part
    EXPECT_FALSE(std::filesystem::exists(dir.file("show.avi")));
    avi_test::AviFile f = read_avi(dir.file("show.01.avi"));

    EXPECT_EQ(u32_at(f.bytes, 4), f.bytes.size() - 8);
    ASSERT_EQ(f.riff.children.size(), 4u);
    EXPECT_EQ(f.riff.children[0].list_type, "hdrl");
    EXPECT_EQ(f.riff.children[1].id, "JUNK");
    EXPECT_EQ(f.riff.children[2].list_type, "movi");
    EXPECT_EQ(f.riff.children[3].id, "idx1");

    const size_t frame_bytes = 64 * 3 * 36;
    EXPECT_EQ(f.avih_field(0), 33333u);                  // microseconds per frame
    EXPECT_EQ(f.avih_field(3), 0x10u | 0x100u);          // has index, interleaved
    EXPECT_EQ(f.total_frames(), 3u);
    EXPECT_EQ(f.avih_field(6), 2u);                      // streams
    EXPECT_EQ(f.avih_field(7), frame_bytes);             // largest chunk
    EXPECT_EQ(f.avih_field(8), 64u);
    EXPECT_EQ(f.avih_field(9), 36u);

    ASSERT_EQ(f.streams.size(), 2u);
    const avi_test::Stream& video = f.streams[0];
    EXPECT_EQ(video.type(), "vids");
    EXPECT_EQ(video.handler(), "DIB ");
    EXPECT_EQ(video.scale(), 10000u);
    EXPECT_EQ(video.rate(), 300000u);
    EXPECT_EQ(video.length(), 3u);
    EXPECT_EQ(video.suggested_buffer_size(), frame_bytes) << "the first part carries the real size";
    EXPECT_EQ(video.sample_size(), 0u);
    EXPECT_EQ(video.frame_rect(), (std::vector<uint32_t>{0, 0, 64, 36}));
    EXPECT_EQ(video.name, std::string("Video", 6));
    // BITMAPINFOHEADER
    ASSERT_EQ(video.strf.size(), 40u);
    EXPECT_EQ(u32_at(video.strf, 0), 40u);
    EXPECT_EQ(u32_at(video.strf, 4), 64u);
    EXPECT_EQ(u32_at(video.strf, 8), 36u) << "positive height: bottom-up rows";
    EXPECT_EQ(u16_at(video.strf, 12), 1u);
    EXPECT_EQ(u16_at(video.strf, 14), 24u);
    EXPECT_EQ(u32_at(video.strf, 16), 0u);  // BI_RGB
    EXPECT_EQ(u32_at(video.strf, 20), frame_bytes);
    for (int at = 24; at < 40; at += 4) EXPECT_EQ(u32_at(video.strf, at), 0u);

    const avi_test::Stream& audio = f.streams[1];
    EXPECT_EQ(audio.type(), "auds");
    EXPECT_EQ(audio.scale(), 1u);
    EXPECT_EQ(audio.rate(), 44100u);
    EXPECT_EQ(audio.length(), 3u * 1470);
    EXPECT_EQ(audio.suggested_buffer_size(), 176400u);
    EXPECT_EQ(audio.sample_size(), 4u);
    EXPECT_EQ(audio.name, std::string("Audio", 6));
    EXPECT_EQ(audio.strf, (Bytes{1, 0, 2, 0, 0x44, 0xAC, 0, 0, 0x10, 0xB1, 2, 0, 4, 0, 16, 0, 0, 0}));

    // Movie data: each frame followed by its sound, exactly as handed over.
    ASSERT_EQ(f.movi->children.size(), 6u);
    for (size_t i = 0; i < 6; ++i) {
        const avi_test::Chunk& c = f.movi->children[i];
        EXPECT_EQ(c.id, i % 2 ? "01wb" : "00db");
        EXPECT_EQ(c.data, i % 2 ? r.sounds[i / 2] : r.frames[i / 2]);
    }
    // The index names every chunk with its offset from the 'movi' tag.
    ASSERT_EQ(f.index.size(), 6u);
    const size_t movi_tag = f.movi->offset + 8;
    for (size_t i = 0; i < 6; ++i) {
        const avi_test::Chunk& c = f.movi->children[i];
        EXPECT_EQ(f.index[i].id, c.id);
        EXPECT_EQ(f.index[i].flags, 0x10u);
        EXPECT_EQ(f.index[i].offset, c.offset - movi_tag);
        EXPECT_EQ(f.index[i].size, c.data.size());
    }
    expect_ffmpeg_reads(dir.file("show.01.avi"), r, r.frames, joined(r.sounds));
}

TEST(AviWriter, RecordingWithoutSoundHasOnlyTheVideoStream) {
    test_support::TempDir dir;
    Recording r{32, 16, {}, 0, {}, {}};
    AVIWriter writer;
    start(writer, dir.file("quiet.avi"), r);
    r.record(writer, 2);
    writer.close();

    avi_test::AviFile f = read_avi(dir.file("quiet.01.avi"));
    EXPECT_EQ(f.avih_field(6), 1u);
    ASSERT_EQ(f.streams.size(), 1u);
    EXPECT_EQ(f.chunks("00db"), r.frames);
    EXPECT_EQ(f.index.size(), 2u);
    expect_ffmpeg_reads(dir.file("quiet.01.avi"), r, r.frames, {});
}

// Widths whose rows are not a multiple of 4 bytes keep their padding in the
// file and come back unskewed.
TEST(AviWriter, OddWidthsRoundTripExactly) {
    struct Case {
        int w, h;
    } cases[] = {{1366, 6}, {33, 5}, {1, 1}, {2, 3}, {5, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
        test_support::TempDir dir;
        Recording r{c.w, c.h, pcm16(48000, 1), 1600, {}, {}};
        {
            AVIWriter writer;
            start(writer, dir.file("odd.avi"), r);
            EXPECT_EQ(writer.frame_bytes(), AVIWriter::frame_stride(c.w) * c.h);
            r.record(writer, 3);
        }
        avi_test::AviFile f = read_avi(dir.file("odd.01.avi"));
        EXPECT_EQ(u32_at(f.streams[0].strf, 20), AVIWriter::frame_stride(c.w) * c.h);
        EXPECT_EQ(f.chunks("00db"), r.frames);
        EXPECT_EQ(f.chunks("01wb"), r.sounds);
        expect_ffmpeg_reads(dir.file("odd.01.avi"), r, r.frames, joined(r.sounds));
    }
}

// A part is split before the frame that follows once it holds the limit;
// the next part repeats the streams and counts from 0 again.
TEST(AviWriter, SplitsIntoNumberedPartsAtTheLimit) {
    test_support::TempDir dir;
    Recording r{40, 10, pcm16(22050, 2), 735, {}, {}};
    const size_t frame = 40 * 3 * 10, sound = 735 * 4;
    AVIWriter writer;
    EXPECT_EQ(writer.current_file(), "");
    start(writer, dir.file("long.avi"), r);
    // The name the recording is announced by is that of the file written.
    EXPECT_EQ(writer.current_file(), dir.file("long.01.avi"));
    // Reached after 3 frames with their sound (3 * 4140 bytes).
    writer.set_split_limit(3 * (frame + sound) - 1);
    r.record(writer, 7);                              // parts 1 and 2 full, part 3 one frame
    Bytes last = make_frame(40, 10, 7);
    ASSERT_TRUE(writer.write_video_frame(last.data()));  // part 3, no sound after the split
    EXPECT_EQ(writer.current_file(), dir.file("long.03.avi"));
    r.frames.push_back(last);
    writer.close();
    EXPECT_FALSE(std::filesystem::exists(dir.file("long.04.avi")));

    const size_t frames_in[] = {3, 3, 2}, sounds_in[] = {3, 3, 1};
    size_t first = 0;
    for (int part = 1; part <= 3; ++part) {
        const std::string path = dir.file(AVIWriter::part_name("long", part));
        SCOPED_TRACE(path);
        avi_test::AviFile f = read_avi(path);
        const size_t n = frames_in[part - 1], m = sounds_in[part - 1];
        ASSERT_EQ(f.streams.size(), 2u) << "the sound stream is created again";
        EXPECT_EQ(f.total_frames(), n);
        EXPECT_EQ(f.streams[0].length(), n);
        EXPECT_EQ(f.streams[0].frame_rect(), (std::vector<uint32_t>{0, 0, 40, 10}));
        EXPECT_EQ(f.streams[1].length(), m * 735);
        EXPECT_EQ(f.streams[1].strf, (Bytes{1, 0, 2, 0, 0x22, 0x56, 0, 0, 0x88, 0x58, 1, 0, 4, 0, 16, 0, 0, 0}));
        const std::vector<Bytes> frames(r.frames.begin() + first, r.frames.begin() + first + n);
        const std::vector<Bytes> sounds(r.sounds.begin() + first, r.sounds.begin() + first + m);
        EXPECT_EQ(f.chunks("00db"), frames);
        EXPECT_EQ(f.chunks("01wb"), sounds);
        EXPECT_EQ(f.index.size(), n + m);
        expect_ffmpeg_reads(path, r, frames, joined(sounds));
        first += n;
    }
}

TEST(AviWriter, SplitRecordingWithoutSoundStaysWithoutSound) {
    test_support::TempDir dir;
    Recording r{8, 8, {}, 0, {}, {}};
    AVIWriter writer;
    start(writer, dir.file("mute"), r);
    writer.set_split_limit(1);  // every frame in a part of its own
    r.record(writer, 3);
    writer.close();
    for (int part = 1; part <= 3; ++part) {
        avi_test::AviFile f = read_avi(dir.file(AVIWriter::part_name("mute", part)));
        ASSERT_EQ(f.streams.size(), 1u);
        EXPECT_EQ(f.chunks("00db"), std::vector<Bytes>{r.frames[part - 1]});
    }
}

// What the writer refuses, and that a refusal leaves nothing broken.
TEST(AviWriter, RefusesWhatItCannotWrite) {
    test_support::TempDir dir;
    Bytes frame = make_frame(16, 4, 0), sound = make_sound(10, 4, 0);

    AVIWriter writer;
    EXPECT_FALSE(writer.write_video_frame(frame.data())) << "not open";
    EXPECT_FALSE(writer.write_audio(sound.data(), 10)) << "not open";
    EXPECT_FALSE(writer.open(dir.file("a.avi").c_str(), 30.0f, static_cast<int>(0x64697678), 100))
        << "a codec we do not have";
    EXPECT_FALSE(std::filesystem::exists(dir.file("a.01.avi")));
    for (float fps : {0.0f, -30.0f, 1e9f, std::numeric_limits<float>::quiet_NaN()})
        EXPECT_FALSE(writer.open(dir.file("a.avi").c_str(), fps, 0, 100)) << fps;
    EXPECT_FALSE(writer.open(dir.file("missing/a.avi").c_str(), 30.0f, 0, 100));
    // The part's name and the system's reason, for the recorder's message.
    EXPECT_EQ(writer.open_error(), dir.file("missing/a.01.avi") + ": No such file or directory");

    ASSERT_TRUE(writer.open(dir.file("a.avi").c_str(), 30.0f, 0, 100));
    EXPECT_FALSE(writer.write_video_frame(frame.data())) << "no size yet";
    writer.set_size(16, 4);
    writer.set_audio_format(pcm16(44100, 2));
    EXPECT_TRUE(writer.write_video_frame(frame.data()));
    writer.set_size(32, 8);  // after the first frame: ignored
    EXPECT_EQ(writer.frame_bytes(), 16u * 3 * 4);
    EXPECT_FALSE(writer.write_audio(sound.data(), 0)) << "nothing to write";
    EXPECT_FALSE(writer.write_audio(sound.data(), -1));
    EXPECT_TRUE(writer.write_audio(sound.data(), 10));
    writer.close();
    EXPECT_FALSE(writer.write_video_frame(frame.data())) << "closed";

    avi_test::AviFile f = read_avi(dir.file("a.01.avi"));
    EXPECT_EQ(f.streams[0].frame_rect(), (std::vector<uint32_t>{0, 0, 16, 4}));
    EXPECT_EQ(f.chunks("00db"), std::vector<Bytes>{frame});
    EXPECT_EQ(f.chunks("01wb"), std::vector<Bytes>{sound});
}

// Sound with a format that is not PCM cannot get a stream: as with any
// failed stream, the part is finished and the recording stops there.
TEST(AviWriter, SoundWithoutUsableFormatFinishesThePart) {
    test_support::TempDir dir;
    Bytes frame = make_frame(8, 2, 0), sound = make_sound(4, 4, 0);
    WaveFormat not_pcm = pcm16(44100, 2);
    not_pcm.format_tag = 3;
    const WaveFormat formats[] = {WaveFormat{}, not_pcm};
    for (const WaveFormat& format : formats) {
        AVIWriter writer;
        ASSERT_TRUE(writer.open(dir.file("s.avi").c_str(), 30.0f, 0, 100));
        writer.set_size(8, 2);
        writer.set_audio_format(format);
        ASSERT_TRUE(writer.write_video_frame(frame.data()));
        EXPECT_FALSE(writer.write_audio(sound.data(), 4));
        EXPECT_FALSE(writer.write_video_frame(frame.data()));
        avi_test::AviFile f = read_avi(dir.file("s.01.avi"));
        EXPECT_EQ(f.streams.size(), 1u);
        EXPECT_EQ(f.total_frames(), 1u);
    }
}

// A write that fails says which part and why, for the fatal message that
// follows: the first failure since the recording started, which is what
// stopped it.
TEST(AviWriter, AFailedWriteSaysWhichPartAndWhy) {
    test_support::TempDir dir;
    const Bytes frame = make_frame(8, 2, 0), sound = make_sound(4, 4, 0);
    const struct {
        const char* what;
        int w, h;
        WaveFormat format;
        int sound_frames;  // written after a frame; -1: the frame alone
        const char* reason;
    } cases[] = {
        {"a frame before the size is known", 0, 0, pcm16(44100, 2), -1, "no frame size"},
        {"a frame wider than a stream header holds", 40000, 2, pcm16(44100, 2), -1,
         "frames of 40000x2 cannot be recorded"},
        {"sound in a format that is not PCM", 8, 2, WaveFormat{}, 4, "the sound's format cannot be recorded"},
        {"sound of no sample frames", 8, 2, pcm16(44100, 2), 0, "no sound to write"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        AVIWriter writer;
        ASSERT_TRUE(writer.open(dir.file("w.avi").c_str(), 30.0f, 0, 100));
        writer.set_size(c.w, c.h);
        writer.set_audio_format(c.format);
        const Bytes wide(AVIWriter::frame_stride(c.w) * c.h);
        bool success = writer.write_video_frame(c.w > 8 ? wide.data() : frame.data());
        if (c.sound_frames >= 0) success = success && writer.write_audio(sound.data(), c.sound_frames);
        EXPECT_FALSE(success);
        EXPECT_EQ(writer.write_error(), dir.file("w.01.avi") + ": " + c.reason);
        // A later failure keeps the first reason.
        EXPECT_FALSE(writer.write_audio(sound.data(), 0));
        EXPECT_EQ(writer.write_error(), dir.file("w.01.avi") + ": " + c.reason);
        // A new recording starts without one.
        ASSERT_TRUE(writer.open(dir.file("w.avi").c_str(), 30.0f, 0, 100));
        EXPECT_EQ(writer.write_error(), "");
    }
}

// A new recording finishes the one before; the same writer can record again.
TEST(AviWriter, OpenFinishesThePreviousRecording) {
    test_support::TempDir dir;
    Recording first{8, 4, {}, 0, {}, {}}, second{12, 2, {}, 0, {}, {}};
    AVIWriter writer;
    start(writer, dir.file("one.avi"), first);
    first.record(writer, 2);
    start(writer, dir.file("two.avi"), second);
    second.record(writer, 1);
    EXPECT_EQ(read_avi(dir.file("one.01.avi")).chunks("00db"), first.frames);
    writer.close();
    EXPECT_EQ(read_avi(dir.file("two.01.avi")).chunks("00db"), second.frames);
}

// A fatal error in the middle of a recording still leaves a playable part.
TEST(AviWriterDeathTest, FatalErrorFinishesThePartBeingWritten) {
    GTEST_FLAG_SET(death_test_style, "fast");  // the child writes into this test's folder
    test_support::TempDir dir;
    Recording r{16, 8, pcm16(44100, 2), 1470, {}, {}};
    EXPECT_EXIT(
        {
            fatal::reset_handler();
            auto* writer = new AVIWriter;  // never deleted, as when the run ends
            start(*writer, dir.file("crash.avi"), r);
            r.record(*writer, 2);
            FATAL_ERROR("Failed assert success");
        },
        testing::ExitedWithCode(1), "");
    avi_test::AviFile f = read_avi(dir.file("crash.01.avi"));
    EXPECT_EQ(f.total_frames(), 2u);
    EXPECT_EQ(f.streams.size(), 2u);
    EXPECT_EQ(f.index.size(), 4u);
}

// A recording that runs out of room (a full disk; here a file-size limit)
// logs the system's reason before the frame loop's fatal message, and the
// part it leaves holds every frame and sound written whole, with its headers
// and index: ffprobe and ffmpeg read it.
TEST(AviWriterDeathTest, AFullDiskLeavesAPlayablePart) {
    GTEST_FLAG_SET(death_test_style, "fast");  // the child writes into this test's folder
    test_support::TempDir dir;
    Recording r{64, 48, pcm16(44100, 2), 1470, {}, {}};  // 15 kB a frame
    const std::string log = dir.file("log.txt");
    EXPECT_EXIT(
        {
            fatal::reset_handler();
            std::freopen(log.c_str(), "w", stdout);
            // What the program's start-up does: a write past the limit
            // then fails with EFBIG.
            platform::keep_running_past_file_size_limit();
            rlimit limit;
            limit.rlim_cur = limit.rlim_max = 100000;
            setrlimit(RLIMIT_FSIZE, &limit);
            auto* writer = new AVIWriter;  // never deleted, as when the run ends
            start(*writer, dir.file("full.avi"), r);
            for (int n = 0;; ++n) {  // the frame loop, until a write fails
                const Bytes frame = make_frame(r.w, r.h, n);
                const Bytes sound = make_sound(r.samples_per_frame, r.format.block_align, n);
                bool success = writer->write_video_frame(frame.data());
                if (success) success = writer->write_audio(sound.data(), r.samples_per_frame);
                // As the frame loop says it: the part and the reason.
                if (!success) FATAL_ERROR("Failed assert success (" << writer->write_error() << ")");
            }
        },
        testing::ExitedWithCode(1), "");

    std::ifstream in(log);
    const std::string printed((std::istreambuf_iterator<char>(in)), {});
    const size_t reason = printed.find("Failed to write " + dir.file("full.01.avi") + ": File too large");
    const size_t fatal_line = printed.find("ERROR: ");
    EXPECT_NE(reason, std::string::npos) << printed;
    ASSERT_NE(fatal_line, std::string::npos) << printed;
    EXPECT_LT(reason, fatal_line);
    EXPECT_NE(printed.find("Failed assert success (" + dir.file("full.01.avi") + ": File too large)", fatal_line),
              std::string::npos)
        << printed;
    // The part it closed is finished and plays: no word of a failed cleanup.
    EXPECT_EQ(printed.find("Exception in cleanup"), std::string::npos) << printed;

    const std::string path = dir.file("full.01.avi");
    EXPECT_LE(std::filesystem::file_size(path), 100000u);
    avi_test::AviFile f = read_avi(path);
    const size_t frames = f.chunks("00db").size();
    const size_t sounds = f.chunks("01wb").size();
    EXPECT_GE(frames, 3u);
    EXPECT_TRUE(sounds == frames || sounds + 1 == frames);
    EXPECT_EQ(f.total_frames(), frames);
    EXPECT_EQ(f.index.size(), frames + sounds);
    for (int n = 0; n < static_cast<int>(frames); ++n) r.frames.push_back(make_frame(r.w, r.h, n));
    Bytes sound;
    for (int n = 0; n < static_cast<int>(sounds); ++n) {
        const Bytes s = make_sound(r.samples_per_frame, r.format.block_align, n);
        sound.insert(sound.end(), s.begin(), s.end());
    }
    expect_ffmpeg_reads(path, r, r.frames, sound);
}

}  // namespace
