// The camera driver on a timer-mode music object whose ten camera tracks the
// test registers itself, as the scene manager does in a run.
#include "util/camera/cameradriver.h"

#include <array>
#include <string>

#include "system/frametimer.h"
#include "system/inputstate.h"
#include "util/camera/camera.h"
#include "util/music/music.h"
#include "util/music/music_fixture.h"

namespace {

// In the order the driver reads them, then the field of view.
const char* const read_order[] = {"cameraUpZ",  "cameraUpY",  "cameraUpX",
                                  "cameraDstZ", "cameraDstY", "cameraDstX",
                                  "cameraEyeZ", "cameraEyeY", "cameraEyeX", "cameraFoV"};

struct Pose {
    float eye[3], dst[3], up[3], fov;
};

void expect_pose(const Camera& camera, const Pose& p) {
    EXPECT_FLOAT_EQ(camera.eye.x, p.eye[0]);
    EXPECT_FLOAT_EQ(camera.eye.y, p.eye[1]);
    EXPECT_FLOAT_EQ(camera.eye.z, p.eye[2]);
    EXPECT_FLOAT_EQ(camera.dst.x, p.dst[0]);
    EXPECT_FLOAT_EQ(camera.dst.y, p.dst[1]);
    EXPECT_FLOAT_EQ(camera.dst.z, p.dst[2]);
    EXPECT_FLOAT_EQ(camera.up.x, p.up[0]);
    EXPECT_FLOAT_EQ(camera.up.y, p.up[1]);
    EXPECT_FLOAT_EQ(camera.up.z, p.up[2]);
    EXPECT_FLOAT_EQ(camera.fov, p.fov);
    mat4 view;
    view.look_at(p.eye[0], p.eye[1], p.eye[2], p.dst[0], p.dst[1], p.dst[2], p.up[0], p.up[1], p.up[2]);
    for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(camera.get_view_matrix().get(i), view.get(i)) << i;
}

void expect_same_view(const Camera& a, const Camera& b) {
    for (int i = 0; i < 16; ++i) EXPECT_EQ(a.get_view_matrix().get(i), b.get_view_matrix().get(i)) << i;
    EXPECT_EQ(a.fov, b.fov);
}

class CameraDriverTest : public music_test::MusicTest {
protected:
    void SetUp() override {
        MusicTest::SetUp();
        camera_driver::free_fly = false;
        camera_driver::f11_was_down = false;
    }
    void TearDown() override {
        camera_driver::free_fly = false;
        camera_driver::f11_was_down = false;
        frame_timer_set_counter(nullptr);
        frame_timer_init();
        MusicTest::TearDown();
    }

    // The scene manager's registration: tracked, with its defaults.
    static void register_camera_tracks(Music& music) {
        const std::pair<const char*, float> tracks[] = {
            {"cameraEyeX", -15}, {"cameraEyeY", -15}, {"cameraEyeZ", -15}, {"cameraDstX", 0},
            {"cameraDstY", 0},   {"cameraDstZ", 0},   {"cameraUpX", 0},    {"cameraUpY", 1},
            {"cameraUpZ", 0},    {"cameraFoV", 45}};
        for (const auto& [name, value] : tracks) music.add_sync_track(name, value, true);
    }

    void update(Camera& camera, float speed = 15.0f) {
        update_camera(camera, keys.data(), &input, speed, music_);
    }

    std::array<unsigned char, 256> keys{};
    InputState input;
    Music* music_ = nullptr;
};

TEST_F(CameraDriverTest, DefaultTracksGiveTheDefaultPose) {
    for (const char* name : read_order) write_track(name, {});
    Music music;
    music_ = &music;
    register_camera_tracks(music);
    music.start();

    Camera camera;
    camera.set_clip(0.5f, 50.0f);
    camera.set_fov_x(70.0f);
    update(camera);
    expect_pose(camera, {{-15, -15, -15}, {0, 0, 0}, {0, 1, 0}, 45});
    // Nothing else of the camera changes.
    EXPECT_EQ(camera.get_znear(), 0.5f);
    EXPECT_EQ(camera.get_zfar(), 50.0f);
    EXPECT_EQ(camera.fov_x, 70.0f);
}

TEST_F(CameraDriverTest, FollowsEachTrackIntoItsOwnPlace) {
    // Every track ramps from its own value at row 0 to another at row 8, so
    // any two swapped tracks show.
    const float start[] = {0.25f, 0.75f, 0.5f, 3, 2, 1, 30, 20, 10, 40};
    const float end[] = {-0.5f, 1.5f, 0.0f, -6, -4, -2, 60, 40, 20, 80};
    for (int i = 0; i < 10; ++i)
        write_track(read_order[i], {{0, start[i], SyncKeyType::Linear}, {8, end[i], SyncKeyType::Step}});
    Music music;
    music_ = &music;
    register_camera_tracks(music);
    music.start();

    const struct {
        uint32_t ms;  // 120 bpm: 16 rows a second
        float t;      // how far along the ramp
    } times[] = {{0, 0.0f}, {250, 0.5f}, {1000, 1.0f}};
    for (const auto& at : times) {
        SCOPED_TRACE(testing::Message() << at.ms << " ms");
        music.set_position(at.ms);
        float v[10];
        for (int i = 0; i < 10; ++i) v[i] = start[i] + (end[i] - start[i]) * at.t;
        Camera camera;
        update(camera);
        expect_pose(camera, {{v[8], v[7], v[6]}, {v[5], v[4], v[3]}, {v[2], v[1], v[0]}, v[9]});

        // A second scene in the same frame gets the same camera, and the
        // speed plays no part on the track road.
        Camera other;
        update(other, 50.0f);
        expect_same_view(camera, other);
    }
}

TEST_F(CameraDriverTest, NegativeFieldOfViewIsStoredForSetupToDerive) {
    Music music;
    music_ = &music;
    const float values[] = {0, 1, 0, 0, 0, 0, 5, 5, 5, -1};
    for (int i = 0; i < 10; ++i) music.add_sync_track(read_order[i], values[i], false);
    Camera camera;
    update(camera);
    EXPECT_EQ(camera.fov, -1.0f);
}

TEST_F(CameraDriverTest, ReadsTheTracksInItsFixedOrder) {
    // With the first k tracks of the order registered, the run ends on the
    // next one.
    for (int registered = 0; registered < 10; ++registered) {
        SCOPED_TRACE(registered);
        Music music;
        music_ = &music;
        for (int i = 0; i < registered; ++i) music.add_sync_track(read_order[i], 1.0f + i, false);
        Camera camera;
        EXPECT_FATAL(update(camera), std::string("Can't find sync value for ") + read_order[registered]);
    }
}

TEST_F(CameraDriverTest, F11TogglesFreeFlyOncePerPress) {
    Music music;
    music_ = &music;
    for (const char* name : read_order) music.add_sync_track(name, 1.0f, false);
    Camera camera;
    const struct {
        bool f11;
        bool free_fly;
    } steps[] = {{false, false}, {true, true}, {true, true}, {true, true},
                 {false, true},  {true, false}, {false, false}};
    for (const auto& s : steps) {
        keys[122] = s.f11 ? 1 : 0;
        update(camera);
        EXPECT_EQ(camera_driver::free_fly, s.free_fly);
        EXPECT_EQ(camera_driver::f11_was_down, s.f11);
    }
}

int64_t fake_ticks = 0;
int64_t read_fake_ticks() { return fake_ticks; }

TEST_F(CameraDriverTest, FreeFlySteersTheViewAndIgnoresTheTracks) {
    Music music;
    music_ = &music;
    const float values[] = {0, 1, 0, 0, 0, 0, 10, 0, 0, 45};
    for (int i = 0; i < 10; ++i) music.add_sync_track(read_order[i], values[i], false);

    // Five frames of 100 ms each: a frame time of 0.1 s.
    const FrameTimerCounter counter{read_fake_ticks, 1000};
    frame_timer_set_counter(&counter);
    fake_ticks = 0;
    frame_timer_init();
    for (int i = 0; i < 5; ++i) {
        fake_ticks += 100;
        frame_timer_update();
    }
    ASSERT_NEAR(frame_timer_delta(), 0.1f, 1e-6f);

    Camera camera;
    update(camera);  // track road: eye at (0, 0, 10) looking at the origin
    keys[122] = 1;
    input.key_pressed[1] = 1;
    update(camera);  // now free-flying, nothing held
    EXPECT_EQ(input.key_pressed[1], 0);  // the left-button press was taken
    keys[122] = 0;

    auto eye_z = [&] { return -camera.get_view_matrix().get(14); };
    keys[87] = 1;  // W: dt * speed = 2 units towards the target
    update(camera, 20.0f);
    EXPECT_NEAR(eye_z(), 8.0f, 1e-5f);
    keys[16] = 1;  // with Shift a tenth
    update(camera, 20.0f);
    EXPECT_NEAR(eye_z(), 7.8f, 1e-5f);
    keys[17] = 1;  // with Ctrl as well a hundredth: Ctrl wins
    update(camera, 20.0f);
    EXPECT_NEAR(eye_z(), 7.78f, 1e-5f);
    keys[87] = keys[16] = keys[17] = 0;

    // Wheel and keypad zoom change both fields of view.
    input.wheel = 2;
    update(camera, 20.0f);
    EXPECT_FLOAT_EQ(camera.fov, 45.0f - 20.0f * 0.005f * 2.0f);
    EXPECT_EQ(input.wheel, 0);
    keys[107] = 1;
    update(camera, 20.0f);
    EXPECT_FLOAT_EQ(camera.fov, 45.0f - 0.2f - 6.0f);
    keys[107] = 0;

    // The tracks are not applied while flying; leaving free fly puts them back.
    EXPECT_NEAR(eye_z(), 7.78f, 1e-5f);
    keys[122] = 1;
    update(camera);
    EXPECT_FALSE(camera_driver::free_fly);
    EXPECT_NEAR(eye_z(), 10.0f, 1e-5f);
    EXPECT_EQ(camera.fov, 45.0f);
}

}  // namespace
