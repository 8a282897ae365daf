#include "util/music/synctimeline.h"

#include <cstring>

#include "support/test_support.h"

namespace {

std::vector<SyncTrack> parse_ok(const std::string& text) {
    std::vector<SyncTrack> tracks;
    std::string error;
    EXPECT_TRUE(SyncTimeline::parse(text, &tracks, &error)) << error;
    return tracks;
}

void expect_same(const std::vector<SyncTrack>& a, const std::vector<SyncTrack>& b) {
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].name, b[i].name);
        EXPECT_EQ(SyncTrackFile::encode(a[i].keys), SyncTrackFile::encode(b[i].keys)) << a[i].name;
    }
}

TEST(SyncTimeline, ParsesKeysInAnyOrder) {
    auto tracks = parse_ok(
        "# a comment\n"
        "\n"
        "bpm 8b 140 linear  # beat 8 is row 64\n"
        "bpm\t0\t120\tstep\n"
        "cameraFoV\n"
        "  fade 2.5b 0.25 smooth\n"
        "fade -3 -1e-3 ramp\n"
        "fade 7 2 -128\r\n");
    ASSERT_EQ(tracks.size(), 3u);
    EXPECT_EQ(tracks[0].name, "bpm");
    EXPECT_EQ(SyncTrackFile::encode(tracks[0].keys),
              SyncTrackFile::encode({{0, 120.0f, SyncKeyType::Step}, {64, 140.0f, SyncKeyType::Linear}}));
    EXPECT_EQ(tracks[1].name, "cameraFoV");
    EXPECT_TRUE(tracks[1].keys.empty());
    EXPECT_EQ(SyncTrackFile::encode(tracks[2].keys),
              SyncTrackFile::encode({{-3, -1e-3f, SyncKeyType::Quadratic},
                                     {7, 2.0f, -128},
                                     {20, 0.25f, SyncKeyType::Smoothstep}}));
}

TEST(SyncTimeline, FormatsAlignedAndRoundTrips) {
    std::vector<SyncTrack> tracks(3);
    tracks[0].name = "bpm";
    tracks[0].keys = {{0, 120.0f, SyncKeyType::Step}, {65, 140.5f, SyncKeyType::Linear}};
    tracks[1].name = "cameraFoV";
    tracks[2].name = "x";
    tracks[2].keys = {{-8, 0.1f, SyncKeyType::Smoothstep}, {3, -2.0f, SyncKeyType::Quadratic}, {9, 1e30f, 7}};
    std::string text = SyncTimeline::format(tracks);
    EXPECT_EQ(text,
              "# track     position  value            interpolation\n"
              "  bpm       0b        120              step\n"
              "  bpm       65        140.5            linear\n"
              "  cameraFoV\n"
              "  x         -1b       0.100000001      smooth\n"
              "  x         3         -2               ramp\n"
              "  x         9         1.00000002e+30   7\n");
    expect_same(parse_ok(text), tracks);
    EXPECT_EQ(SyncTimeline::format(parse_ok(text)), text);
}

TEST(SyncTimeline, RoundTripKeepsEveryFloatBit) {
    std::vector<SyncTrack> tracks(1);
    tracks[0].name = "v";
    int32_t row = 0;
    for (float v : {0.1f, 1.0f / 3.0f, -0.0f, 1e-40f, 3.4028235e38f, 16777217.0f, 123456.789f})
        tracks[0].keys.push_back({row++, v, SyncKeyType::Linear});
    expect_same(parse_ok(SyncTimeline::format(tracks)), tracks);
}

float from_bits(uint32_t bits) {
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
}

// A NaN keeps its sign and payload through the text: a track file saved
// from an editor may hold any of them.
TEST(SyncTimeline, RoundTripKeepsTheBitsOfNotANumber) {
    std::vector<SyncTrack> tracks(1);
    tracks[0].name = "v";
    const uint32_t patterns[] = {0x7FC00000, 0xFFC00000, 0x7FC00001, 0x7FA00000, 0x7F800001, 0xFFFFFFFF,
                                 0x7F800000, 0xFF800000};  // the last two: the infinities
    int32_t row = 0;
    for (uint32_t bits : patterns) tracks[0].keys.push_back({row++, from_bits(bits), SyncKeyType::Step});
    const std::string text = SyncTimeline::format(tracks);
    expect_same(parse_ok(text), tracks);
    // The plain NaNs read as a person writes them; the others show their bits.
    for (const char* shown : {" nan ", " -nan ", " nan:0x7fc00001 ", " nan:0x7fa00000 ", " nan:0x7f800001 ",
                              " nan:0xffffffff ", " inf ", " -inf "})
        EXPECT_NE(text.find(shown), std::string::npos) << shown << " in\n" << text;
}

TEST(SyncTimeline, RefusesBadLines) {
    struct Case {
        const char* text;
        const char* error;
    } cases[] = {
        {"a 0 1\n", "line 1: expected \"<track> <position> <value> <interpolation>\" or \"<track>\""},
        {"a 0 1 step extra\n", "line 1: expected \"<track> <position> <value> <interpolation>\" or \"<track>\""},
        {"\na x 1 step\n", "line 2: bad row \"x\""},
        {"a 1.5 1 step\n", "line 1: bad row \"1.5\""},
        {"a 2147483648 1 step\n", "line 1: bad row \"2147483648\""},
        {"a 1.3b 1 step\n", "line 1: beat 1.3 does not land on a row"},
        {"a 1e10b 1 step\n", "line 1: beat 1e10 is out of range"},
        {"a b 1 step\n", "line 1: bad beat \"b\""},
        {"a 0 one step\n", "line 1: bad value \"one\""},
        {"a 0 1e39 step\n", "line 1: value 1e39 is out of range"},
        {"a 0 nan:0x7f800000 step\n", "line 1: bad value \"nan:0x7f800000\" (nan:0x and the 8 hex digits of a NaN)"},
        {"a 0 nan:0x7fc0 step\n", "line 1: bad value \"nan:0x7fc0\" (nan:0x and the 8 hex digits of a NaN)"},
        {"a 0 nan:7fc00001 step\n", "line 1: bad value \"nan:7fc00001\""},
        {"a 0 1 cubic\n", "line 1: bad interpolation \"cubic\" (step, linear, smooth, ramp or -128..127)"},
        {"a 0 1 128\n", "line 1: bad interpolation \"128\" (step, linear, smooth, ramp or -128..127)"},
        {"a/b 0 1 step\n", "line 1: track name \"a/b\" holds a blank, \"/\" or \"#\""},
        {"a 0 1 step\nb 0 1 step\na 0b 2 linear\n", "line 3: track a already has a key at row 0 (line 1)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::vector<SyncTrack> tracks;
        std::string error;
        EXPECT_FALSE(SyncTimeline::parse(c.text, &tracks, &error));
        EXPECT_EQ(error, c.error);
    }
}

}  // namespace
