#include "support/test_support.h"

#include "scenes/scene_droplets/droplet_marks.h"
#include "util/math/random.h"

namespace {

// Marks at every beat (spots) and every second beat (droplets) of a song of
// `beats` beats, at places that do not matter to the timing.
std::vector<float3> marks(float beats, float step) {
    random_seed(1);
    return make_mark_events(beats, step);
}

std::vector<float> spot_fades(const std::vector<vec3>& list) {
    std::vector<float> fades;
    for (const vec3& spot : list) fades.push_back(spot.z);
    return fades;
}

TEST(DropletMarks, OneMarkAStepWhileBelowTheSongLength) {
    const struct {
        float beats, step;
        size_t count;
        float last_start;
    } cases[] = {
        {10.0f, 1.0f, 10, 9.0f}, {10.0f, 2.0f, 5, 8.0f}, {10.5f, 2.0f, 6, 10.0f},
        {0.0f, 1.0f, 0, 0.0f},   {1.0f, 2.0f, 1, 0.0f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.beats << " beats, step " << c.step);
        std::vector<float3> events = marks(c.beats, c.step);
        ASSERT_EQ(events.size(), c.count);
        for (size_t i = 0; i < events.size(); ++i) {
            EXPECT_EQ(events[i].x, static_cast<float>(i) * c.step);
            EXPECT_GE(events[i].y, 0.15f);
            EXPECT_LE(events[i].y, 0.85f);
            EXPECT_GE(events[i].z, 0.15f);
            EXPECT_LE(events[i].z, 0.85f);
        }
        if (c.count) {
            EXPECT_EQ(events.back().x, c.last_start);
        }
    }
}

TEST(DropletMarks, TheSecondDrawIsXAndTheFirstY) {
    // After seeding with 1 the generator gives 41, then 18467.
    std::vector<float3> events = marks(1.0f, 1.0f);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_FLOAT_EQ(events[0].y, 18467.0f / 32767.0f * 0.7f + 0.15f);
    EXPECT_FLOAT_EQ(events[0].z, 41.0f / 32767.0f * 0.7f + 0.15f);
    // The same seed places every mark alike.
    EXPECT_EQ(marks(50.0f, 1.0f)[49].y, marks(50.0f, 1.0f)[49].y);
}

TEST(DropletMarks, SpotsShowFromTheLastFadedOneToTheNextToCome) {
    const struct {
        const char* name;
        float song, now, fade;
        std::vector<float> fades;
        float first_start;
    } cases[] = {
        {"beat 0: the first spot and the next", 100, 0.0f, 1.0f, {1.0f, 0.0f}, 0},
        {"beat 3.4: spot 3 fading, spot 4 to come", 100, 3.4f, 1.0f, {0.6f, 0.0f}, 3},
        {"a long fade keeps older spots", 100, 3.5f, 2.0f, {0.25f, 0.75f, 0.0f}, 2},
        {"exactly at a start", 100, 2.0f, 1.0f, {1.0f, 0.0f}, 2},
        {"before the first spot", 100, -0.5f, 1.0f, {0.0f}, 0},
        {"after the last start the last spot fades out", 4, 3.25f, 1.0f, {0.75f}, 3},
        {"all faded out", 4, 4.5f, 1.0f, {}, 0},
        {"no spots at all", 0, 1.0f, 1.0f, {}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<vec3> events = spot_events_from(marks(c.song, 1.0f));
        std::vector<vec3> list = visible_spots(events, c.now, c.fade);
        std::vector<float> fades = spot_fades(list);
        ASSERT_EQ(fades.size(), c.fades.size());
        for (size_t i = 0; i < fades.size(); ++i) EXPECT_NEAR(fades[i], c.fades[i], 1e-5f) << i;
        if (!list.empty()) {
            const vec3& first = events[static_cast<size_t>(c.first_start)];
            EXPECT_EQ(list[0].x, first.y);
            EXPECT_EQ(list[0].y, first.z);
        }
    }
}

TEST(DropletMarks, SpotFadesAreWrittenIntoTheEventsItExamines) {
    std::vector<vec3> events = spot_events_from(marks(10, 1.0f));
    visible_spots(events, 3.4f, 1.0f);
    EXPECT_NEAR(events[0].w, -2.4f, 1e-5f);
    EXPECT_NEAR(events[3].w, 0.6f, 1e-5f);
    EXPECT_EQ(events[4].w, 0.0f);
    EXPECT_EQ(events[5].w, 1.0f) << "not examined: left as made";
}

TEST(DropletMarks, DropletsThatHaveNotFadedOutInStartOrder) {
    const struct {
        const char* name;
        float now, fade;
        std::vector<vec4> list;  // only k and start are checked
    } cases[] = {
        {"beat 0: the first droplet, new", 0.0f, 2.5f, {{0, 0, 1.0f, 0}}},
        {"beat 2.6: droplet 0 is gone (k -0.04)", 2.6f, 2.5f, {{0, 0, 0.76f, 2}}},
        {"beat 2.4: both", 2.4f, 2.5f, {{0, 0, 0.04f, 0}, {0, 0, 0.84f, 2}}},
        {"before the first droplet", -1.0f, 2.5f, {}},
        {"a negative fade keeps every started droplet", 5.0f, -1.0f, {{0, 0, 6, 0}, {0, 0, 4, 2}, {0, 0, 2, 4}}},
    };
    std::vector<float3> events = marks(100, 2.0f);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<vec4> list = visible_droplets(events, c.now, c.fade);
        ASSERT_EQ(list.size(), c.list.size());
        for (size_t i = 0; i < list.size(); ++i) {
            EXPECT_NEAR(list[i].z, c.list[i].z, 1e-5f);
            EXPECT_EQ(list[i].w, c.list[i].w);
            const float3& e = events[static_cast<size_t>(c.list[i].w / 2)];
            EXPECT_EQ(list[i].x, e.y);
            EXPECT_EQ(list[i].y, e.z);
        }
    }
}

TEST(DropletMarks, UploadsNeverOutgrowTheShadersArraysAndKeepTheFreshestMarks) {
    // A fade of 100 beats at beat 50: 51 spots shown plus the one to come.
    std::vector<vec3> spots = spot_events_from(marks(200, 1.0f));
    std::vector<vec3> list = visible_spots(spots, 50.0f, 100.0f);
    ASSERT_EQ(list.size(), 52u);
    std::vector<vec3> capped = freshest_marks(list);
    ASSERT_EQ(capped.size(), kMaxDropletMarks);
    EXPECT_EQ(capped.back().z, 0.0f) << "the spot to come stays last";
    EXPECT_NEAR(capped.front().z, 1.0f - 30.0f / 100.0f, 1e-5f) << "spot 20 is the oldest kept";

    std::vector<float3> droplets = marks(200, 2.0f);
    std::vector<vec4> drops = freshest_marks(visible_droplets(droplets, 150.0f, 1000.0f));
    ASSERT_EQ(drops.size(), kMaxDropletMarks);
    EXPECT_EQ(drops.back().w, 150.0f);
    EXPECT_EQ(drops.front().w, 150.0f - 2.0f * (kMaxDropletMarks - 1));

    EXPECT_EQ(freshest_marks(std::vector<vec4>(3)).size(), 3u);
}

}  // namespace
