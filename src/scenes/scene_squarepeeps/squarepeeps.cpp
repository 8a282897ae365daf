#include "scenes/scene_squarepeeps/squarepeeps.h"

#include <GL/glew.h>

#include <cmath>

#include "util/music/music.h"
#include "util/texture/texture.h"

SquarePeeps::SquarePeeps() = default;
SquarePeeps::~SquarePeeps() = default;

void SquarePeeps::init() {
    objects = std::make_unique<Objects3D>();
    objects->lights.push_back(&light);
    light.set_attenuation_from_range(5.0f);
    light.set_fixed_shadow_size(kShadowSize);
    objects->cameras.push_back(&camera);
    objects->set_camera(0);
    build(objects.get());
}

void SquarePeeps::build(Objects3D* graph) {
    sky = std::make_unique<Texture>("data/common/images/FullskiesBlueClear0009_1_S.jpg", true, true, GL_LINEAR,
                                    GL_LINEAR);
    // Trilinear only: on llvmpipe the anisotropic lookups of the sky cube's
    // faces, seen at a slant from the circling camera, cost more than the
    // rest of its picture; the photo's soft clouds lose little without them.
    sky->sample_without_anisotropy();
    for (unsigned preset : {5u, 2u, 1u, 3u}) materials.push_back(std::make_unique<Material>(preset));
    materials.push_back(std::make_unique<Material>());
    Material* warm_white = materials[0].get();
    Material* blue_green = materials[1].get();
    Material* green = materials[2].get();
    Material* orange = materials[3].get();
    Material* sky_material = materials[4].get();
    sky_material->diffuse_map = sky.get();

    meshes.emplace_back(create_cube(2.0f, false));
    meshes.emplace_back(create_cube(1.0f, false));
    meshes.emplace_back(create_plane(kPlaneSize, kPlaneSize, 1.0f));
    Mesh* large_cube = meshes[0].get();
    Mesh* small_cube = meshes[1].get();
    Mesh* plane = meshes[2].get();
    // The cubes are solid: only their front faces show.
    large_cube->closed = true;
    small_cube->closed = true;

    const float o = kCornerOffset;
    const struct {
        Mesh* mesh;
        Material* material;
        float x, z;
    } nodes[] = {
        {large_cube, sky_material, 0, 0}, {small_cube, warm_white, o, o},  {small_cube, green, o, -o},
        {small_cube, orange, -o, o},      {small_cube, blue_green, -o, -o}, {plane, warm_white, 0, 0},
    };
    for (const auto& n : nodes) {
        Node* node = graph->add_node(graph->add_geom_object(n.mesh, n.material), nullptr);
        if (n.x != 0.0f || n.z != 0.0f) node->modelViewMatrices[0].translate(n.x, 0.0f, n.z);
    }
}

vec3 SquarePeeps::camera_eye(float b) { return vec3(5.0f * std::sin(0.1f * b), 2.0f, 5.0f * std::cos(0.1f * b)); }

vec3 SquarePeeps::light_position(float b) {
    return vec3(3.0f * std::sin(0.7f * b), 2.0f, 3.0f * std::cos(0.7f * b));
}

void SquarePeeps::draw() {
    const float beats = music->get_beats();
    const vec3 eye = camera_eye(beats);
    objects->cameras.back()->look_at(eye.x, eye.y, eye.z, 0, 0, 0, 0, 1, 0);
    const vec3 l = light_position(beats);
    objects->lights.back()->set_position(l.x, l.y, l.z);
    objects->set_global_ambient(vec4(0.001f, 0.001f, 0.001f, 0.001f));
    objects->cameras.back()->set_clip(0.5f, 15.0f);
    objects->set_dof(true);
    objects->set_draw_lights(true, 0.1f);
    objects->set_shadows(true);
    objects->draw();
}

void SquarePeeps::resize(int w, int h) {
    Scene::resize(w, h);
    objects->resize(w, h, aspect);
}
