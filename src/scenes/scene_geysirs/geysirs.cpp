#include "scenes/scene_geysirs/geysirs.h"

#include "util/camera/cameradriver.h"
#include "util/music/music.h"

void Geysirs::init() {
    // Making the system reseeds the generator with 7, so the sphere's points
    // are the same in every run.
    particle_systems.push_back(
        std::make_unique<Effects::Particles>(Effects::ParticleSettings{vec3(0.2f, 0.5f, 1.0f), 10000}, ""));
    particle_systems.back()->add_shape(5.0f, false);
    // The cloud is all the scene draws.
    particle_systems.back()->sprite_order = Effects::SpriteLayer::Order::last_in_scene;

    // The view until the first frame, when the camera tracks take over; only
    // the clip planes last.
    camera.look_at(20, 20, 20, 0, 0, 0, 0, 1, 0);
    camera.set_fov(45);
    camera.set_fov_x(-1);
    camera.set_clip(1, 1000);
    camera.set_view_matrix(mat4(0.5785f, -0.3927f, 0.715f, 0, -0.1197f, 0.8261f, 0.5506f, 0, -0.8069f,
                                -0.4041f, 0.4309f, 0, -2.3141f, -0.5966f, -6.0534f, 1));
}

void Geysirs::draw() {
    update_camera(camera, keys, input, 50.0f, music);
    camera.setup(width, height, aspect, 1.0f);
    // The position never moves: the first frame scatters the particles along
    // the shape and every frame leaves them there.
    particle_systems.back()->update(0.0f, 3);
    particle_systems.back()->render(music->get_beats());
}
