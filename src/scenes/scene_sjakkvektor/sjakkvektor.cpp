#include "scenes/scene_sjakkvektor/sjakkvektor.h"

#include <cmath>

#include "util/camera/cameradriver.h"
#include "util/music/music.h"

const SceneTracks SjakkVektor::tracks = {{"ballsProgress", 15.0f}};

SjakkVektor::SjakkVektor() = default;
SjakkVektor::~SjakkVektor() = default;

void SjakkVektor::init() {
    objects = std::make_unique<Objects3D>();
    build();
    half_size = objects->get_node_size(nullptr) * 0.5f;

    objects->cameras.push_back(&camera);
    objects->set_camera(0);
    camera.look_at(2, 8, -0.7f * half_size, 0, 0, 0, 0, 0.7f, 0.3f);
    camera.set_clip_from_scale(half_size);
    objects->set_dof(true);
    objects->set_shadows(false);

    objects->lights.push_back(&light);
    light.set_diffuse(0.2f, 0.4f, 1.0f, 1.0f);
    register_scene_tracks(*music, tracks);
}

void SjakkVektor::build() {
    material = std::make_unique<Material>(5);
    ball_mesh = create_icosahedron(ball_radius, 3, false);
    // The balls are solid: only their front halves are drawn. The sticks are
    // open tubes and keep both sides.
    ball_mesh->closed = true;
    stick_mesh = create_cylinder(ball_radius / stick_thinness, 1.0f, 8, false);
    ball_node = objects->add(ball_mesh.get(), material.get(), nullptr);
    stick_node = objects->add(stick_mesh.get(), material.get(), nullptr);
    // The ball node keeps its identity matrix, the ball at the origin.
    stick_node->modelViewMatrices.clear();
    tree.build(ball_node->modelViewMatrices, stick_node->modelViewMatrices);
}

vec3 SjakkVektor::light_position(float progress, float half_size) {
    const float t = progress * 5.0f;
    const float h = half_size * 0.5f;
    return vec3(h * std::sin(0.023f * t + 9.424778f), h * std::sin(0.017f * t), -h * std::cos(0.017f * t));
}

void SjakkVektor::draw() {
    const float progress = music->get_sync_value("ballsProgress");
    tree.animate(progress, ball_node->modelViewMatrices, stick_node->modelViewMatrices);
    const vec3 p = light_position(progress, half_size);
    objects->lights.back()->set_position(p.x, p.y, p.z);
    update_camera(*objects->cameras.back(), keys, input, half_size, music);
    objects->draw();
}

void SjakkVektor::resize(int w, int h) {
    Scene::resize(w, h);
    objects->resize(w, h, aspect);
}
