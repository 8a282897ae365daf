// The scenes of the character-screen production on a real context, drawn
// into a 320 x 180 target from data and note tracks made in the test, with
// the music clock and the track keys set by the test: each shows its screen
// at 4:3 in the middle with black bars beside it, the piano's keys and the
// ribbons light with their notes, and the note monitor plots the coming
// notes on the right of its rows.
#include "note_scene_test.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>

#include "scenes/scene_modulators/modulators.h"
#include "scenes/scene_textdrop/textdrop.h"
#include "scenes/scene_textintro/textintro.h"
#include "scenes/scene_textpiano/textpiano.h"
#include "scenes/scene_textribbons/textribbons.h"
#include "scenes/scene_textroto/textroto.h"
#include "util/ascii/fire.h"
#include "util/fbo/fbo.h"

namespace {

using test_support::Frame;
namespace fs = std::filesystem;

class QuendleScenesTest : public scene_test::NoteSceneTest {
protected:
    void SetUp() override {
        NoteSceneTest::SetUp();
        fs::create_directories("data/common/raw_ascii");
        fs::create_directories("data/common/asciiart");
        fs::create_directories("data/common/fonts");
        write_file("data/common/raw_ascii/quorvan.raw", std::vector<uint8_t>(80 * 50, 9));
        std::vector<uint8_t> tile(256 * 256);
        for (size_t i = 0; i < tile.size(); ++i) tile[i] = static_cast<uint8_t>(i % 7);
        write_file("data/common/raw_ascii/zemblas.raw", tile);
        std::vector<uint8_t> big(300 * 120, 13);  // holes, with a yellow band in rows 10-19
        for (size_t i = 10 * 300; i < 20 * 300; ++i) big[i] = 11;
        write_file("data/common/raw_ascii/quendle_4_300x120.raw", big);
        write_file("data/common/asciiart/xr_mug.asc", {'(', ')', '\n'});
        fs::copy_file(test_support::source_path("data/common/fonts/courier_new.ttf"), "data/common/fonts/arial.ttf");

        for (const SceneTracks* table : {&TextIntro::tracks, &TextRoto::tracks, &TextPiano::tracks,
                                         &TextDrop::tracks, &TextRibbons::tracks})
            for (const SceneTrack& t : *table) write_track(t.name, {});

        notes.tracks.resize(3);
        Track& piano = notes.tracks[0];
        piano.name = "Old Vinyl Piano";
        play(piano, 40, 1, 2);  // E of the first octave
        Track& bleep = notes.tracks[1];
        bleep.name = "RaveBleep";
        play(bleep, 70, 1, 2);  // the first note: ribbon 3
        play(bleep, 72, 3, 4);
        Track& drums = notes.tracks[2];
        drums.name = "Drums";
        play(drums, 36, 8, 9);
        use_notes();
    }
};

using scene_test::kHeight;
using scene_test::kWidth;

// The share of pixels in columns x0..x1-1 brighter than a quarter.
double lit_share(const Frame& f, int x0, int x1) {
    int lit = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = x0; x < x1; ++x) lit += f.at(x, y).brightest() > 64;
    return double(lit) / ((x1 - x0) * kHeight);
}

// The 4:3 screen fills columns 40-279 of the 320 x 180 target.
constexpr int kLeft = 40, kRight = 280;
// A cell's middle in target pixels (3 x 3.6 pixels a cell), y from the bottom.
int cell_x(int col) { return kLeft + col * 3 + 1; }
int cell_y(int row) { return kHeight - 1 - static_cast<int>((row + 0.5) * 3.6); }

TEST_F(QuendleScenesTest, EveryCharacterScreenSceneShowsAtFourToThreeBetweenBlackBars) {
    write_track("introProgress", {{0, 40.0f, 0}});
    write_track("introSection", {{0, 1.0f, 0}});
    write_track("pianoProgress", {{0, 4.0f, 0}});
    write_track("lastText", {{0, -100.0f, 0}});
    write_track("ribbon1X", {{0, 60.0f, 0}});
    write_track("ribbon1Y", {{0, 25.0f, 0}});
    std::vector<std::pair<const char*, std::unique_ptr<Scene>>> scenes;
    scenes.emplace_back("intro", made_scene<TextIntro>());
    scenes.emplace_back("roto", made_scene<TextRoto>());
    scenes.emplace_back("piano", made_scene<TextPiano>());
    scenes.emplace_back("drop", made_scene<TextDrop>());
    scenes.emplace_back("ribbons", made_scene<TextRibbons>());
    for (auto& [name, scene] : scenes) {
        SCOPED_TRACE(name);
        Frame f = frame_at(*scene, 0.5f, std::string("quendle-scene-") + name);
        EXPECT_GT(lit_share(f, kLeft, kRight), 0.005);
        EXPECT_EQ(lit_share(f, 0, kLeft - 1), 0.0);
        EXPECT_EQ(lit_share(f, kRight + 1, kWidth), 0.0);
    }
}

TEST_F(QuendleScenesTest, TheRotatedPictureAndTheBigLetteringDrawInTheirColours) {
    // Their backgrounds read "flash", which the piano scene registers.
    auto piano = made_scene<TextPiano>();
    auto roto = made_scene<TextRoto>();
    Frame r = frame_at(*roto, 0.5f, "quendle-roto");
    // File byte 9 is colour 12, bright red, over the middle; the picture
    // stands 50 columns wide.
    const test_support::Rgba middle = r.at(cell_x(40), cell_y(25));
    EXPECT_EQ(middle.r, 255);
    EXPECT_EQ(middle.b, 0);
    EXPECT_EQ(r.at(cell_x(5), cell_y(25)).brightest(), 0);

    write_track("bigY", {{0, 5.0f, 0}});
    auto drop = made_scene<TextDrop>();
    Frame d = frame_at(*drop, 0.5f, "quendle-drop");
    // Picture rows 10-19 at screen rows 5-14: file byte 11 is colour 14,
    // yellow.
    const test_support::Rgba band = d.at(cell_x(40), cell_y(8));
    EXPECT_EQ(band.r, 255);
    EXPECT_EQ(band.g, 255);
    EXPECT_EQ(band.b, 0);
}

TEST_F(QuendleScenesTest, PianoKeysAndRibbonsLightWhileTheirNotesSound) {
    // The upper keyboard scrolled to column 0 (pianoProgress 8 x 10), its
    // keys from row 10 + bounce; E is column 10.
    write_track("pianoProgress", {{0, 8.0f, 0}});
    write_track("lastText", {{0, -100.0f, 0}});
    auto piano = made_scene<TextPiano>();
    // At beat 0 and 1.5 the upper row's bounce is 0 and (int)(5 sin(1.125 pi)) = -1.
    Frame idle = frame_at(*piano, 0.0f, "quendle-piano-idle");
    Frame pressed = frame_at(*piano, 4.0f / 3.0f * 1.125f, "quendle-piano-pressed");
    const int bounce = static_cast<int>(std::sin(1.5f * 0.75f * 3.14159265f) * 5.0f);
    EXPECT_EQ(idle.at(cell_x(10), cell_y(20)).r, 191);  // light grey
    const test_support::Rgba e = pressed.at(cell_x(10), cell_y(20 + bounce));
    EXPECT_EQ(e.r, 255);
    EXPECT_EQ(e.g, 255);

    // Ribbon 3 at row 25 lights light cyan while the first bleep sounds.
    write_track("ribbon3X", {{0, 60.0f, 0}});
    write_track("ribbon3Y", {{0, 25.0f, 0}});
    auto ribbons = made_scene<TextRibbons>();
    Frame dark = frame_at(*ribbons, 0.5f, "quendle-ribbons-idle");
    Frame lit = frame_at(*ribbons, 1.5f, "quendle-ribbons-lit");
    auto cyan = [](const test_support::Rgba& p) { return p.r == 0 && p.g == 255 && p.b == 255; };
    EXPECT_FALSE(cyan(dark.at(cell_x(60), cell_y(25))));
    EXPECT_TRUE(cyan(lit.at(cell_x(60), cell_y(25))));
}

// The intro's second section draws the fire along the bottom rows unless
// "fireDecay" is negative. The pictures are scrolled off the screen, so only
// stars (grey or white) and fire (its first sparks yellow) show.
TEST_F(QuendleScenesTest, ANegativeFireDecaySwitchesTheFireOffInTheSecondSection) {
    write_track("introSection", {{0, 2.0f, 0}});
    write_track("introProg3", {{0, 1.0f, 0}});  // picture 3, 80 rows above the screen
    // Yellowish pixels along the bottom cell row of the screen.
    auto fire_pixels = [](const Frame& f) {
        int n = 0;
        for (int y = 0; y < 4; ++y)
            for (int x = kLeft; x < kRight; ++x) {
                const test_support::Rgba p = f.at(x, y);
                n += p.r > 60 && p.g > 60 && p.b < 30;
            }
        return n;
    };
    // 0.5 for the first beat, then -1 (8 rows a beat).
    write_track("fireDecay", {{0, 0.5f, SyncKeyType::Step}, {8, -1.0f, SyncKeyType::Step}});
    auto intro = made_scene<TextIntro>();
    AsciiFire::reset_clock();  // the first update steps at once and lights sparks
    EXPECT_GT(fire_pixels(frame_at(*intro, 0.5f, "quendle-intro-fire")), 0);
    EXPECT_EQ(fire_pixels(frame_at(*intro, 1.5f, "quendle-intro-no-fire")), 0);
}

// A row's label stands 0.72 rows tall for a silent track and half again as
// tall while its strongest note sounds in full.
TEST_F(QuendleScenesTest, TheMonitorsLabelGrowsWithItsTracksStrongestNote) {
    auto monitor = made_scene<Modulators>();
    // The label of track 0 stands on 2.1 rows of 3 (126 pixels up); its top
    // is the highest white pixel of the top row left of the present.
    auto label_height = [](const Frame& f) {
        int top = 0;
        for (int y = 120; y < kHeight; ++y)
            for (int x = 0; x < kWidth / 2; ++x) {
                const test_support::Rgba p = f.at(x, y);
                if (p.r > 200 && p.g > 200 && p.b > 200) top = std::max(top, y);
            }
        return top - 126;
    };
    const int silent = label_height(frame_at(*monitor, 0.5f, "quendle-modulators-silent"));
    const int sounding = label_height(frame_at(*monitor, 1.5f, "quendle-modulators-sounding"));  // key 40, beats 1-2
    ASSERT_GT(silent, 10);
    EXPECT_NEAR(static_cast<double>(sounding) / silent, 1.5, 0.2) << silent << " and " << sounding << " pixels";
}

TEST_F(QuendleScenesTest, TheMonitorPlotsComingNotesRightOfThePresentInTheirRows) {
    auto monitor = made_scene<Modulators>();
    // At beat 4 the drum note (beats 8 to 9) lies 4 beats ahead: x 256 +
    // 200 = 456 of 512, in the bottom row (track 2); the second bleep
    // (beats 3 to 4) just left of the present in the middle row. Labels
    // take the left of each row.
    Frame f = frame_at(*monitor, 4.0f, "quendle-modulators");
    auto coloured = [&](float x_units, float y_rows) {
        const int x = static_cast<int>(x_units / 512.0f * kWidth);
        const int y = static_cast<int>(y_rows / 3.0f * kHeight);
        const test_support::Rgba p = f.at(x, y);
        return p.g + p.b > 100 && p.r < 60;
    };
    EXPECT_TRUE(coloured(470, 0.4f));
    EXPECT_FALSE(coloured(420, 0.4f));
    EXPECT_FALSE(coloured(200, 0.4f));
    EXPECT_TRUE(coloured(230, 1.4f));
    EXPECT_FALSE(coloured(300, 1.4f));
    EXPECT_EQ(monitor->ring().tracks(), 3);
}

// The show folds the monitor in a kaleidoscope, so the frame loop draws it
// only where the passes read: under a scissor box it must draw there what
// it draws whole, on a multisampled target as in the show, and nothing
// further out than the ring of pixels round the box (the rasterizer may
// touch their samples; the frame loop resolves only the box).
TEST_F(QuendleScenesTest, TheMonitorDrawnInAScissorBoxDrawsThereWhatItDrawsWhole) {
    auto monitor = made_scene<Modulators>();
    EXPECT_TRUE(monitor->draws_in_scissor_box());
    // The picture at a beat, drawn under `box` (none: whole) over blue,
    // resolved.
    auto picture = [&](float beat, const ViewportRect* box) {
        music->set_time(beat * 60.0f / music->get_bpm());
        FBO sampled(kWidth, kHeight, FBO_TYPE_RGBA8, 4);
        FBO resolved(kWidth, kHeight, FBO_TYPE_RGBA8, 0);
        glClearColor(0, 0, 1, 1);
        sampled.push(true);
        glEnable(GL_MULTISAMPLE);  // as the frame loop leaves it for every scene
        monitor->resize(kWidth, kHeight);
        if (box) {
            glEnable(GL_SCISSOR_TEST);
            glScissor(box->x, box->y, box->width, box->height);
        }
        monitor->draw();
        glDisable(GL_SCISSOR_TEST);
        sampled.pop();
        resolved.push(false);
        sampled.blit();
        glBindFramebuffer(GL_READ_FRAMEBUFFER, resolved.get_id());
        Frame f(kWidth, kHeight);
        resolved.pop();
        EXPECT_NO_GL_ERROR();
        return f;
    };
    // Labels and the left of the rows; the present and the coming notes.
    const ViewportRect boxes[] = {{10, 100, 90, 70}, {150, 20, 140, 90}};
    for (const float beat : {1.5f, 4.0f}) {
        const Frame whole = picture(beat, nullptr);
        for (const ViewportRect& box : boxes) {
            SCOPED_TRACE(testing::Message() << "beat " << beat << ", box at " << box.x << "," << box.y);
            const Frame boxed = picture(beat, &box);
            int differ = 0, lit = 0, outside = 0;
            for (int y = 0; y < kHeight; ++y)
                for (int x = 0; x < kWidth; ++x) {
                    auto inside = [&](int margin) {
                        return x >= box.x - margin && x < box.x + box.width + margin && y >= box.y - margin &&
                               y < box.y + box.height + margin;
                    };
                    const test_support::Rgba a = boxed.at(x, y), b = whole.at(x, y);
                    if (inside(0)) {
                        differ += a.r != b.r || a.g != b.g || a.b != b.b;
                        lit += b.r + b.g > 100;
                    } else if (!inside(1)) {
                        outside += a.r != 0 || a.g != 0 || a.b != 255;
                    }
                }
            EXPECT_EQ(differ, 0);
            EXPECT_EQ(outside, 0);
            EXPECT_GT(lit, 20);  // it draws something there
        }
    }
}

}  // namespace
