// The photo, white page, title and floor scenes of "Orvenhal Korrin System",
// built by the scene manager on a real context from the production's own
// pictures, shaders and font, and drawn into the test window (160 x 120; the
// 16:9 render area is 160 x 90 between two black bars of 15 rows). Frames
// are kept as PNGs in $ZEMBLA_SCREENSHOT_DIR when that is set.
#include <algorithm>
#include <filesystem>

#include "scenes/production_scenes.h"
#include "scenes/scene_nukefloor/nukefloor.h"
#include "scenes/scene_nuketext/nuketext.h"
#include "scenes/scene_photos/photo_scenes.h"
#include "scenes/test_scenes.h"
#include "util/objects3d/objects3d_fixture.h"

namespace {

using scene_test::write_track;

constexpr int kBar = 15, kW = 160, kH = 90;

// The scenes under test, by index, each made by the program's own maker.
enum : int { kSvg, kImage, kBunker, kBlast, kText, kFloor };
const char* const kNames[] = {"KorrinSVG", "KorrinImage", "KorrinBunker", "NukeBlast", "NukeText", "NukeFloor"};

const SceneList& korrin_scenes() {
    static const SceneList list = [] {
        SceneList made;
        for (const char* name : kNames) made.push_back({name, scene_maker(name)});
        return made;
    }();
    return list;
}

struct Pixels {
    std::vector<unsigned char> rgba;  // the render area, bottom row first

    int lit(int level) const {
        int n = 0;
        for (size_t i = 0; i < rgba.size(); i += 4)
            if (std::max({rgba[i], rgba[i + 1], rgba[i + 2]}) > level) ++n;
        return n;
    }
    std::vector<int> at(int x, int y) const {
        const size_t i = (static_cast<size_t>(y) * kW + static_cast<size_t>(x)) * 4;
        return {rgba[i], rgba[i + 1], rgba[i + 2]};
    }
    // Mean of the three channels over the area.
    std::vector<double> mean() const {
        std::vector<double> m(3, 0.0);
        for (size_t i = 0; i < rgba.size(); i += 4)
            for (int c = 0; c < 3; ++c) m[c] += rgba[i + c];
        for (double& v : m) v /= static_cast<double>(rgba.size() / 4);
        return m;
    }
    // How far apart two frames are: mean absolute difference per channel.
    double distance(const Pixels& other) const {
        double sum = 0;
        for (size_t i = 0; i < rgba.size(); ++i) sum += std::abs(rgba[i] - other.rgba[i]);
        return sum / static_cast<double>(rgba.size());
    }
};

class KorrinScenesTest : public scene_test::SceneManagerTest {
protected:
    void SetUp() override {
        SceneManagerTest::SetUp();
        std::filesystem::create_directory_symlink(test_support::source_path("data/scenes"), "data/scenes");
        for (const SceneTracks* table :
             {&KorrinImage::tracks, &KorrinBunker::tracks, &NukeBlast::tracks, &NukeText::tracks})
            for (const SceneTrack& track : *table) scene_test::write_empty_track(track.name);
    }

    // One frame with scene `first` as the first layer, `second` over it and
    // `overlay` as the overlay; the render area's pixels, kept as `shot`.
    Pixels frame(int first, int second = -1, int overlay = -1, const char* shot = nullptr) {
        write_track("ActiveScene1st", static_cast<float>(first));
        write_track("ActiveScene2nd", static_cast<float>(second));
        write_track("ActiveScene4rd", static_cast<float>(overlay));
        make_manager(&korrin_scenes());
        manager->frame();
        EXPECT_NO_GL_ERROR();
        Pixels p;
        std::vector<unsigned char> all = objects3d_test::read_and_keep(shot ? shot : "", kW, kH + 2 * kBar);
        if (!shot) all = test_support::read_pixels(0, 0, kW, kH + 2 * kBar);
        p.rgba.assign(all.begin() + kBar * kW * 4, all.begin() + (kBar + kH) * kW * 4);
        return p;
    }
};

TEST_F(KorrinScenesTest, EveryClassIsPartOfTheProgramAndRegistersItsTracksInOrder) {
    for (const SceneEntry& entry : korrin_scenes()) EXPECT_NE(entry.make, nullptr) << entry.class_name;
    make_manager(&korrin_scenes());
    const size_t first = scene_test::manager_tracks().size();
    ASSERT_EQ(manager->get_music()->sync_values.size(), first + 3 + 10 + 12 + 15);
    expect_scene_tracks({&KorrinImage::tracks, &KorrinBunker::tracks, &NukeBlast::tracks, &NukeText::tracks}, first);
    EXPECT_FLOAT_EQ(manager->get_music()->get_sync_value("NukImgSiz"), 2.5f);
    EXPECT_FLOAT_EQ(manager->get_music()->get_sync_value("BunkerHue"), 0.14f);
    EXPECT_FLOAT_EQ(manager->get_music()->get_sync_value("textY2"), 0.45f);
}

TEST_F(KorrinScenesTest, WhitePageWipesTheLayerBelowToWhite) {
    const Pixels p = frame(kImage, kSvg, -1, "korrin_white_page");
    EXPECT_EQ(p.lit(250), kW * kH);
    EXPECT_EQ(p.at(0, 0), (std::vector<int>{255, 255, 255}));
    EXPECT_EQ(p.at(kW - 1, kH - 1), (std::vector<int>{255, 255, 255}));
}

TEST_F(KorrinScenesTest, CityPhotoFillsTheTargetAtItsDefaultsAndShrinksIntoItsSquare) {
    const Pixels full = frame(kImage, -1, -1, "korrin_city_default");
    EXPECT_EQ(full.lit(20), kW * kH);
    // Half size in the middle: the 16:9 photo on the 16:9 target fills the
    // square's width and height, the rest stays black.
    write_track("NukImgX", 0.25f);
    write_track("NukImgY", 0.25f);
    write_track("NukImgSiz", 0.5f);
    const Pixels half = frame(kImage, -1, -1, "korrin_city_half");
    EXPECT_EQ(half.at(5, 5), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(half.at(kW - 5, kH - 5), (std::vector<int>{0, 0, 0}));
    EXPECT_GT(half.at(kW / 2, kH / 2)[0], 20);
    EXPECT_NEAR(half.lit(20), kW * kH / 4, kW * kH / 20);
}

TEST_F(KorrinScenesTest, BunkerModeChoosesThePhotoAndImgOnlyScalesIt) {
    write_track("BunkerImg", 1.0f);
    write_track("BunkerEdge", 0.0f);
    const struct {
        float mode;
        int photo;
    } cases[] = {{0.0f, 0}, {-0.7f, 0}, {-5.0f, 0}, {1.0f, 1}, {3.0f, 1}};
    Pixels shown[2];
    bool seen[2] = {false, false};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        write_track("BunkerMode", c.mode);
        Pixels p = frame(kBunker, -1, -1, c.mode == 0.0f ? "korrin_bunker_radio" : "korrin_bunker_sign");
        EXPECT_GT(p.lit(20), kW * kH / 2);
        if (seen[c.photo]) {
            EXPECT_LT(p.distance(shown[c.photo]), 0.5);
        }
        shown[c.photo] = p;
        seen[c.photo] = true;
        manager.reset();
    }
    EXPECT_GT(shown[0].distance(shown[1]), 20.0);
    // The road sign's sky is blue, the radio's wall is not.
    EXPECT_GT(shown[1].mean()[2], shown[0].mean()[2] + 20);

    // "BunkerImg" is the photo's strength: 0 leaves only the edges' glow.
    write_track("BunkerMode", 0.0f);
    write_track("BunkerImg", 0.0f);
    EXPECT_EQ(frame(kBunker).lit(10), 0);
    write_track("BunkerEdge", 1.0f);
    const Pixels edges = frame(kBunker, -1, -1, "korrin_bunker_edges");
    EXPECT_GT(edges.lit(40), 100);
    EXPECT_LT(edges.lit(40), kW * kH / 2);
}

TEST_F(KorrinScenesTest, BlastMixesTheSevenPhotosByTheirWeights) {
    for (int i = 0; i < 7; ++i) write_track("Blast" + std::to_string(i), 0.0f);
    write_track("BlastEdge", 0.0f);
    EXPECT_EQ(frame(kBlast).lit(5), 0);
    // Each weight alone shows its own photo: seven different pictures, so
    // each of the seven is bound on its own unit.
    std::vector<Pixels> alone;
    for (int i = 0; i < 7; ++i) {
        SCOPED_TRACE(i);
        write_track("Blast" + std::to_string(i), 1.0f);
        alone.push_back(frame(kBlast, -1, -1, ("korrin_blast_" + std::to_string(i)).c_str()));
        write_track("Blast" + std::to_string(i), 0.0f);
        EXPECT_GT(alone.back().lit(20), kW * kH / 2);
        for (int j = 0; j < i; ++j) EXPECT_GT(alone.back().distance(alone[static_cast<size_t>(j)]), 3.0) << j;
        manager.reset();
    }
    // Half of two photos is their average.
    write_track("Blast2", 0.5f);
    write_track("Blast5", 0.5f);
    const Pixels mix = frame(kBlast, -1, -1, "korrin_blast_mix");
    const std::vector<double> m = mix.mean(), a = alone[2].mean(), b = alone[5].mean();
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(m[c], (a[c] + b[c]) / 2, 2.0) << c;
}

TEST_F(KorrinScenesTest, TitleShowsThreeWordsInOneColourAndCreditsTwoLines) {
    const Pixels title = frame(-1, -1, kText, "korrin_title");
    // Orange-yellow (hue 0.12): red full, green a little below, no blue.
    int lit = 0;
    for (size_t i = 0; i < title.rgba.size(); i += 4) {
        if (title.rgba[i] < 200) continue;
        ++lit;
        EXPECT_GT(title.rgba[i + 1], 100);
        EXPECT_LT(title.rgba[i + 2], 60);
    }
    EXPECT_GT(lit, 300);
    // Each word where its line is: "Orvenhal" high, "System" low and right.
    auto lit_in = [](const Pixels& p, int x0, int x1, int y0, int y1) {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                if (p.at(x, y)[0] > 128) ++n;
        return n;
    };
    EXPECT_GT(lit_in(title, 16, 80, 63, 85), 40);   // line 1 from 10 %, 70 %
    EXPECT_GT(lit_in(title, 96, 160, 18, 40), 40);  // line 3 from 60 %, 20 %
    EXPECT_EQ(lit_in(title, 0, 14, 0, kH), 0);

    // Credits: two lines; line 3 is neither drawn nor read.
    write_track("textScene", 0.5f);
    const Pixels credits = frame(-1, -1, kText, "korrin_credits");
    EXPECT_GT(credits.lit(128), 300);
    EXPECT_EQ(lit_in(credits, 96, 160, 0, 30), 0);
    EXPECT_GT(credits.distance(title), 1.0);

    write_track("textScene", 0.0f);
    write_track("textA1", 0.0f);
    write_track("textA2", 0.0f);
    write_track("textA3", 0.0f);
    EXPECT_EQ(frame(-1, -1, kText).lit(20), 0);
}

TEST_F(KorrinScenesTest, FloorOfSmileysSeenFromAboveRebuildsItsVerticesEachFrame) {
    write_track("cameraEyeX", 14.0f);
    write_track("cameraEyeY", 30.0f);
    write_track("cameraEyeZ", -12.0f);
    write_track("cameraDstX", 14.0f);
    write_track("cameraDstY", 0.0f);
    write_track("cameraDstZ", 14.0f);
    const Pixels p = frame(kFloor, -1, -1, "korrin_floor");
    // The smileys' yellow faces: red and green high, blue low.
    int yellow = 0;
    for (size_t i = 0; i < p.rgba.size(); i += 4)
        if (p.rgba[i] > 180 && p.rgba[i + 1] > 150 && p.rgba[i + 2] < 80) ++yellow;
    EXPECT_GT(yellow, kW * kH / 10);
    auto* floor = dynamic_cast<NukeFloor*>(manager->get_scenes()[kFloor]);
    ASSERT_NE(floor, nullptr);
    EXPECT_EQ(floor->get_streams().vertex_count(), 1536u);
    manager->frame();
    EXPECT_EQ(floor->get_streams().vertex_count(), 1536u);
    EXPECT_NO_GL_ERROR();
}

TEST_F(KorrinScenesTest, FloorShowsSomethingFromTheDefaultCamera) {
    EXPECT_GT(frame(kFloor).lit(20), 100);
}

}  // namespace
