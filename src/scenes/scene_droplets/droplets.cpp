#include "scenes/scene_droplets/droplets.h"

#include <GL/glew.h>

#include "scenes/scene_droplets/droplet_marks.h"
#include "util/camera/cameradriver.h"
#include "util/easydraw/easydraw.h"
#include "util/music/music.h"

const SceneTracks Droplets::tracks = {
    {"dropTime", 0.0f},    {"dropCircle", 1.0f},      {"dropSpots", 1.0f}, {"dropCiFade", 2.5f},
    {"dropCiSpeed", 0.2f}, {"dropCiFalloff", 100.0f}, {"dropSpFade", 1.0f}, {"dropSpSize", 0.4f},
};

void Droplets::init() {
    camera.set_zfar(150.0f);
    make_droplet_events();
    make_spot_events();
    register_scene_tracks(*music, tracks);
    program = std::make_unique<ShaderProgram>("data/scenes/droplets/droplets.vert",
                                              "data/scenes/droplets/droplets.frag");
}

void Droplets::make_droplet_events() { droplet_events = make_mark_events(music->get_length_beats(), 2.0f); }

void Droplets::make_spot_events() {
    spot_events = spot_events_from(make_mark_events(music->get_length_beats(), 1.0f));
}

void Droplets::draw() {
    glEnable(GL_BLEND);
    update_camera(camera, keys, input, 10.0f, music);
    camera.setup(width, height, aspect, 1.0f);

    program->bind();
    const vec4 white(1.0f, 1.0f, 1.0f, 1.0f);
    program->set_uniform4fv("Color", white.data(), 1);
    program->set_uniform1f("Beats", music->get_sync_value("dropTime"));
    program->set_uniform_matrix4fv("ProjectionMatrix", camera.get_projection_matrix().data(), 1, false);
    program->set_uniform_matrix4fv("ModelViewMatrix", camera.get_view_matrix().data(), 1, false);

    // Below 0.5 neither kind is uploaded, and the shader keeps the marks of
    // the last frame that set them.
    const float circle = music->get_sync_value("dropCircle");
    if (circle > 1.5f)
        upload_droplets(true);
    else if (circle > 0.5f)
        upload_droplets(false);
    if (music->get_sync_value("dropSpots") > 0.5f) upload_spots();

    easydraw_plane(plane_size, plane_size, false);
}

void Droplets::upload_droplets(bool ring_mode) {
    const std::vector<vec4> list = freshest_marks(
        visible_droplets(droplet_events, music->get_sync_value("dropTime"), music->get_sync_value("dropCiFade")));
    const int count = static_cast<int>(list.size());
    if (count > 0) program->set_uniform4fv("Droplets", list[0].data(), count);
    program->set_uniform1i("NumDroplets", count);
    program->set_uniform4f("DropletSettings", music->get_sync_value("dropCiSpeed"),
                           music->get_sync_value("dropCiFade"), music->get_sync_value("dropCiFalloff"),
                           ring_mode ? 1.0f : 0.0f);
}

void Droplets::upload_spots() {
    const std::vector<vec3> list = freshest_marks(
        visible_spots(spot_events, music->get_sync_value("dropTime"), music->get_sync_value("dropSpFade")));
    // Three consecutive floats a spot, as the shader's vec3 array takes them.
    std::vector<float> floats;
    for (const vec3& spot : list) floats.insert(floats.end(), {spot.x, spot.y, spot.z});
    const int count = static_cast<int>(list.size());
    if (count > 0) program->set_uniform3fv("Spots", floats.data(), count);
    program->set_uniform1i("NumSpots", count);
    program->set_uniform2f("SpotSettings", music->get_sync_value("dropSpSize"), music->get_sync_value("dropSpFade"));
}
