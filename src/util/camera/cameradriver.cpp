#include "util/camera/cameradriver.h"

#include "system/frametimer.h"
#include "system/hooks.h"
#include "system/inputstate.h"
#include "system/keycodes.h"
#include "util/camera/camera.h"
#include "util/music/music.h"

namespace camera_driver {

bool free_fly = false;
bool f11_was_down = false;

}  // namespace camera_driver

namespace {

const vec3 axis_x(1.0f, 0.0f, 0.0f);
const vec3 axis_y(0.0f, 1.0f, 0.0f);
const vec3 axis_z(0.0f, 0.0f, 1.0f);

void follow_tracks(Camera& camera, Music* music) {
    const float up_z = music->get_sync_value("cameraUpZ");
    const float up_y = music->get_sync_value("cameraUpY");
    const float up_x = music->get_sync_value("cameraUpX");
    const float dst_z = music->get_sync_value("cameraDstZ");
    const float dst_y = music->get_sync_value("cameraDstY");
    const float dst_x = music->get_sync_value("cameraDstX");
    const float eye_z = music->get_sync_value("cameraEyeZ");
    const float eye_y = music->get_sync_value("cameraEyeY");
    const float eye_x = music->get_sync_value("cameraEyeX");
    camera.look_at(eye_x, eye_y, eye_z, dst_x, dst_y, dst_z, up_x, up_y, up_z);
    camera.set_fov(music->get_sync_value("cameraFoV"));
}

// Keys turn and move by rate x frame time, the mouse by a fixed factor per
// unit of movement; Shift slows down, Ctrl slows down more.
void fly(Camera& camera, const unsigned char* keys, InputState* input, float speed) {
    const bool shift = keys[key::shift] != 0;
    const bool control = keys[key::control] != 0;
    auto held = [keys](int key) { return keys[key] != 0; };

    const float look_factor = shift ? 0.1f / 3.0f : control ? 0.01f : 0.1f;
    if (input->is_key_down(key::right_button) || input->is_captured()) {
        int dx = 0, dy = 0;
        input->get_mouse_delta(&dx, &dy);
        camera.rotate(static_cast<float>(dx) * look_factor, axis_y);
        camera.rotate(static_cast<float>(dy) * look_factor, axis_x);
    }

    const float turn_rate = shift ? 50.0f : control ? 15.0f : 150.0f;
    const struct {
        int key;
        float sign;
        const vec3& axis;
    } turns[] = {{key::left, -1.0f, axis_y}, {key::right, 1.0f, axis_y}, {key::up, -1.0f, axis_x},
                 {key::down, 1.0f, axis_x},  {'Q', -1.0f, axis_z},    {'E', 1.0f, axis_z}};
    for (const auto& t : turns)
        if (held(t.key)) camera.rotate(t.sign * frame_timer_delta() * turn_rate, t.axis);

    float s = speed;
    if (shift) s = speed * 0.1f;
    if (control) s = speed * 0.01f;
    camera.zoom(-s * 0.005f * static_cast<float>(input->take_wheel()));

    const struct {
        int key;
        float sign;
        void (Camera::*move)(float);
    } moves[] = {{'W', 1.0f, &Camera::move_forward},  {'S', -1.0f, &Camera::move_forward},
                 {'A', 1.0f, &Camera::move_sideways}, {'D', -1.0f, &Camera::move_sideways},
                 {'Z', 1.0f, &Camera::move_vertical}, {'X', -1.0f, &Camera::move_vertical}};
    for (const auto& m : moves)
        if (held(m.key)) (camera.*m.move)(m.sign * frame_timer_delta() * s);

    if (held(key::numpad_plus)) camera.zoom(-frame_timer_delta() * 60.0f);
    if (held(key::numpad_minus)) camera.zoom(frame_timer_delta() * 60.0f);
}

}  // namespace

void update_camera(Camera& camera, const unsigned char* keys, InputState* input, float speed,
                   Music* music) {
    if (input->take_key_pressed(key::left_button)) camera.dump();

    const bool f11_down = keys[key::f11] != 0;
    if (f11_down && !camera_driver::f11_was_down) {
        camera_driver::free_fly = !camera_driver::free_fly;
        post_load_hook();
    }
    camera_driver::f11_was_down = f11_down;

    if (!camera_driver::free_fly)
        follow_tracks(camera, music);
    else
        fly(camera, keys, input, speed);
}
