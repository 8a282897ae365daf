// The recording scorer (tools/score_recording.py) on a small recording the
// program's own AVI writer makes, in two parts, with a sound stream beside
// the frames: 64 x 36 at 30 frames a second, 60 beats a minute, two
// sections of two seconds. In the first a grey bar over the left quarter
// flashes for the first three frames of every beat and the frame is black
// otherwise; in the second the top right quarter is white throughout. A
// second recording of the same size shows scanlines that move.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <string>
#include <vector>

#include "support/e2e_display.h"
#include "support/test_support.h"
#include "util/avi/aviwriter.h"

namespace {

using namespace test_support;

constexpr int kWidth = 64;
constexpr int kHeight = 36;
constexpr int kFrames = 120;

// Bottom-up rows of blue-green-red, as the program records them, each pixel
// the grey `level(x, y)`, y counting from the top.
template <typename Level>
std::vector<unsigned char> grey_frame(Level level) {
    const size_t stride = AVIWriter::frame_stride(kWidth);
    std::vector<unsigned char> bytes(stride * kHeight, 0);
    for (int y = 0; y < kHeight; ++y) {
        unsigned char* row = &bytes[stride * static_cast<size_t>(kHeight - 1 - y)];
        for (int x = 0; x < kWidth; ++x)
            row[3 * x] = row[3 * x + 1] = row[3 * x + 2] = static_cast<unsigned char>(level(x, y));
    }
    return bytes;
}

std::vector<unsigned char> frame(int n) {
    return grey_frame([n](int x, int y) {
        if (n < 60 && n % 30 < 3 && x < kWidth / 4) return 120;
        if (n >= 60 && x >= kWidth / 2 && y < kHeight / 2) return 255;
        return 0;
    });
}

// Every other row lit, the lit rows a row lower in every frame: the picture
// of moving scanlines, which the eye takes for a steady grey.
std::vector<unsigned char> moving_scanlines(int n) {
    return grey_frame([n](int, int y) { return (y + n) % 2 ? 0 : 200; });
}

void write_recording(const std::string& name, std::vector<unsigned char> (*make)(int) = frame) {
    AVIWriter writer;
    ASSERT_TRUE(writer.open(name.c_str(), 30.0f, 0, 100));
    writer.set_size(kWidth, kHeight);
    WaveFormat sound;
    sound.format_tag = 1;
    sound.channels = 2;
    sound.samples_per_sec = 44100;
    sound.block_align = 4;
    sound.avg_bytes_per_sec = 44100 * 4;
    sound.bits_per_sample = 16;
    writer.set_audio_format(sound);
    writer.set_split_limit(80 * 14000);  // some 85 frames with their sound in the first part
    const std::vector<unsigned char> samples(1470 * 4, 7);
    for (int n = 0; n < kFrames; ++n) {
        ASSERT_TRUE(writer.write_video_frame(make(n).data())) << n;
        ASSERT_TRUE(writer.write_audio(samples.data(), 1470)) << n;
    }
    writer.close();
}

CommandResult score(const std::string& args) {
    return run_command("/usr/bin/python3 " + source_path("tools/score_recording.py") + " " + args + " 2>&1", 120);
}

// The number after `"key": ` in the JSON object that follows `"name": "<name>"`.
double figure(const std::string& json, const std::string& name, const std::string& key) {
    const size_t object = json.find("\"name\": \"" + name + "\"");
    if (object == std::string::npos) return NAN;
    const size_t start = json.rfind('{', object);
    const size_t at = json.find("\"" + key + "\": ", start);
    if (at == std::string::npos) return NAN;
    return std::atof(json.c_str() + at + key.size() + 4);
}

unsigned png_side(const std::string& png, int offset) {
    const std::string bytes = read_file(png);
    if (bytes.size() < 24) return 0;
    unsigned v = 0;
    for (int i = 0; i < 4; ++i) v = v << 8 | static_cast<unsigned char>(bytes[offset + i]);
    return v;
}

TEST(ScoreRecordingTool, ScoresEachSectionOfATimeline) {
    TempDir dir;
    write_recording(dir.file("Show.avi"));
    ASSERT_TRUE(std::ifstream(dir.file("Show.02.avi")).good()) << "the recording comes in two parts";
    ASSERT_FALSE(std::ifstream(dir.file("Show.03.avi")).good()) << "the recording comes in two parts";
    std::ofstream(dir.file("timeline.txt")) << "# two sections\nActiveScene1st 0b 0 step\nActiveScene1st 2b 1 step\n";

    const CommandResult r = score(dir.file("timeline.txt") + " " + dir.path() + " --bpm 60 --json " +
                                  dir.file("score.json") + " --sheet " + dir.file("sheet.png") +
                                  " --thumb 32 --columns 2 --at 2.5,1b --frames " + dir.file("frames"));
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("120 frames of 64x36 at 30 fps"), std::string::npos) << r.output;
    const std::string json = read_file(dir.file("score.json"));

    // Flashes on the beat over black: nine frames in ten near-black, the
    // longest dark run the rest of a beat, the light on the left, and the
    // picture changing on the beat only.
    EXPECT_NEAR(figure(json, "0", "black"), 0.9, 1e-9);
    EXPECT_NEAR(figure(json, "0", "run"), 0.9, 1e-9);
    EXPECT_EQ(figure(json, "0", "burnt"), 0.0);
    EXPECT_NEAR(figure(json, "0", "lit"), 0.025, 1e-9);
    EXPECT_NEAR(figure(json, "0", "cx"), 0.125, 1e-6);
    EXPECT_NEAR(figure(json, "0", "cy"), 0.5, 1e-6);
    EXPECT_GT(figure(json, "0", "beat"), 10.0);

    // A steady white quarter at the top right: a quarter of the pixels burnt
    // and lit, none of the frames dark, a fifth of its light in the rim
    // band, read the right way up from bottom-up rows.
    EXPECT_EQ(figure(json, "1", "black"), 0.0);
    EXPECT_NEAR(figure(json, "1", "burnt"), 0.25, 1e-9);
    EXPECT_NEAR(figure(json, "1", "lit"), 0.25, 1e-9);
    EXPECT_NEAR(figure(json, "1", "cx"), 0.75, 1e-6);
    EXPECT_NEAR(figure(json, "1", "cy"), 0.25, 1e-6);
    EXPECT_NEAR(figure(json, "1", "rim"), 112.0 / 576.0, 1e-6);
    EXPECT_NEAR(figure(json, "whole show", "black"), 0.45, 1e-9);

    // The sheet holds the frames at 0 s and 2 s side by side; the frames
    // asked for are written whole.
    EXPECT_EQ(png_side(dir.file("sheet.png"), 16), 2u * (32 + 4) + 4);
    EXPECT_EQ(png_side(dir.file("sheet.png"), 20), 18u + 26 + 4 + 4);
    EXPECT_EQ(png_side(dir.file("frames/frame-0002.50s.png"), 16), unsigned(kWidth));
    EXPECT_EQ(png_side(dir.file("frames/frame-0001.00s.png"), 20), unsigned(kHeight));

    // The before/after table of a score against itself: every figure once.
    const CommandResult table = score("--table " + dir.file("score.json") + " " + dir.file("score.json"));
    ASSERT_EQ(table.status, 0) << table.output;
    EXPECT_NE(table.output.find("| 0.0-2.0 | 0 | 90% | 0.9 | 0.00% | 2% | 0.12 | 0.50 |"), std::string::npos)
        << table.output;
}

TEST(ScoreRecordingTool, ReadsScanlinesMovingByARowAsLittleChange) {
    // The change is measured over 2x2 blocks, whose mean the moving lines
    // keep: read from every other pixel instead, every frame would change by
    // the lines' whole level.
    TempDir dir;
    write_recording(dir.file("Lines.avi"), moving_scanlines);
    std::ofstream(dir.file("timeline.txt")) << "ActiveScene1st 0b 0 step\n";
    const CommandResult r =
        score(dir.file("timeline.txt") + " " + dir.path() + " --bpm 60 --json " + dir.file("score.json"));
    ASSERT_EQ(r.status, 0) << r.output;
    const std::string json = read_file(dir.file("score.json"));
    EXPECT_NEAR(figure(json, "whole show", "lit"), 0.5, 1e-9);
    EXPECT_LT(figure(json, "whole show", "diff"), 1.0);
}

TEST(ScoreRecordingTool, TakesSectionsAndTempoFromAProduction) {
    TempDir dir;
    write_recording(dir.file("Show.avi"));
    // A tempo in the production table, and one from the notes of the music.
    const struct {
        const char* production;
        const char* tempo;
        const char* first_scene;
    } cases[] = {{"brisken", "75 bpm", "DiscoTiles"}, {"pelltide", "112 bpm", "MusicVectors"}};
    for (const auto& c : cases) {
        const CommandResult r = score(std::string(c.production) + " " + dir.file("Show.01.avi") + " " +
                                      dir.file("Show.02.avi") + " --split 1");
        ASSERT_EQ(r.status, 0) << r.output;
        EXPECT_NE(r.output.find(c.tempo), std::string::npos) << r.output;
        EXPECT_NE(r.output.find("0.0-1.0       " + std::string(c.first_scene)), std::string::npos) << r.output;
        EXPECT_NE(r.output.find("1.0-4.0       " + std::string(c.first_scene)), std::string::npos) << r.output;
    }

    const CommandResult unknown = score("nosuchshow " + dir.path());
    EXPECT_EQ(unknown.status, 1);
    EXPECT_NE(unknown.output.find("no production \"nosuchshow\""), std::string::npos) << unknown.output;
    const CommandResult not_avi = score("brisken " + dir.file("Show.01.avi") + " " + source_path("README.md"));
    EXPECT_EQ(not_avi.status, 1);
    EXPECT_NE(not_avi.output.find("not an AVI file"), std::string::npos) << not_avi.output;
}

}  // namespace
