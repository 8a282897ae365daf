#include "scenes/scene_discotiles/discotiles.h"

#include <GL/glew.h>

#include "util/camera/cameradriver.h"
#include "util/music/music.h"

const SceneTracks DiscoTiles::tracks = {
    {"discScroll", 1.0f},
    {"discDrops", 1.0f},
    {"discSpots", 1.0f},
};

namespace {
constexpr float kCameraSpeed = 10.0f;  // units a second when flown by hand
}  // namespace

DiscoTiles::DiscoTiles() = default;
DiscoTiles::~DiscoTiles() = default;

void DiscoTiles::init() {
    objects3d = std::make_unique<Objects3D>();
    skybox = std::make_unique<Effects::SkyBox>();
    skybox->init(vec3(0, 0, 0), 50.0f, "data/effects/skybox/spacescape_desat_nebula_complex/desat_nebula_complex_",
                 "png");

    objects3d->cameras.push_back(&camera);
    camera.look_at(1, 15, -5, 0, 0, 0, 0, 1, 0);
    camera.set_zfar(1500.0f);

    material = std::make_unique<Material>(5);
    mesh = create_plane(1.0f, 1.0f, 1.0f);
    node = objects3d->add(mesh.get(), material.get(), nullptr);

    const unsigned side = floor.side;
    node->modelViewMatrices.resize(floor.tiles());
    material->diffuseColors.resize(floor.tiles());
    for (unsigned x = 0; x < side; ++x)
        for (unsigned z = 0; z < side; ++z) {
            const unsigned i = z * side + x;
            node->modelViewMatrices[i].translate(floor.tile_centre(x), 0.0f, floor.tile_centre(z));
            material->diffuseColors[i] = vec4(1, 1, 1, 1);
        }

    floor.make_events(music->get_length_beats());
    register_scene_tracks(*music, tracks);
}

void DiscoTiles::draw() {
    glEnable(GL_BLEND);
    update_camera(camera, keys, input, kCameraSpeed, music);
    camera.setup(width, height, aspect, 1.0f);
    floor.light(material->diffuseColors, music->get_beats(), music->get_sync_value("discScroll"),
                music->get_sync_value("discDrops"), music->get_sync_value("discSpots"));
    objects3d->draw();
}

void DiscoTiles::resize(int w, int h) {
    Scene::resize(w, h);
    objects3d->resize(w, h, aspect);
}
