// The scene graph: building, world matrices and bounds, the shadow test of
// the lit pass, and whole graphs drawn into a small target.
#include "util/objects3d/objects3d.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include "scenes.h"
#include "util/camera/camera.h"
#include "util/fbo/fbo.h"
#include "util/objects3d/matrices.h"
#include "util/objects3d/objects3d_fixture.h"

namespace {

using objects3d_test::translation;

class Objects3DTest : public objects3d_test::Objects3DGlTest {};

TEST_F(Objects3DTest, AddingBuildsTheRootAndSharesMeshesAndMaterials) {
    Objects3D graph;
    std::unique_ptr<Mesh> cube(create_cube(2, false)), plane(create_plane(1, 1, 1));
    Material stone, grass;
    Texture picture;
    grass.diffuse_map = &picture;
    Node* a = graph.add(cube.get(), &stone, nullptr);
    ASSERT_EQ(graph.nodes.size(), 2u);
    EXPECT_EQ(graph.nodes[0].get(), graph.master_node);
    EXPECT_EQ(graph.master_node->name, "Master node");
    EXPECT_EQ(graph.master_node->parent, -1);
    EXPECT_EQ(a->this_index, 1);
    EXPECT_EQ(a->parent, 0);
    EXPECT_EQ(graph.master_node->children, std::vector<int>{1});
    Node* b = graph.add(cube.get(), &stone, a);
    Node* c = graph.add(plane.get(), &grass, nullptr);
    EXPECT_EQ(graph.meshes.size(), 2u);
    EXPECT_EQ(graph.materials.size(), 2u);
    EXPECT_EQ(graph.geom_objects.size(), 3u);
    EXPECT_EQ(graph.geom_objects[0]->mesh_id, graph.geom_objects[1]->mesh_id);
    EXPECT_EQ(graph.geom_objects[0]->material_id, graph.geom_objects[1]->material_id);
    EXPECT_EQ(a->children, std::vector<int>{b->this_index});
    EXPECT_EQ(c->objects, std::vector<int>{2});
    EXPECT_FALSE(graph.geom_objects[0]->textured);
    EXPECT_TRUE(graph.geom_objects[2]->textured);
    EXPECT_EQ(graph.geom_objects[2]->itangents.size(), 6u);
    // A builder's null (a bad count) ends in the graph's own message.
    EXPECT_FATAL(graph.add(create_cylinder(1, 1, 0, false).get(), &stone, nullptr), "temp_object is NULL");
    EXPECT_FATAL(graph.add(cube.get(), nullptr, nullptr), "temp_object is NULL");
}

TEST_F(Objects3DTest, CameraSelectionAndResize) {
    Objects3D graph;
    graph.set_camera(0);
    EXPECT_EQ(graph.cur_cam, -1);
    Camera camera;
    graph.cameras.push_back(&camera);
    graph.set_camera(0);
    EXPECT_EQ(graph.cur_cam, 0);
    graph.set_camera(1);
    EXPECT_EQ(graph.cur_cam, -1);
    Light light;
    graph.lights.push_back(&light);
    graph.resize(320, 180, 16.0f / 9.0f);
    EXPECT_EQ(graph.width, 320);
    EXPECT_EQ(light.last_width, 320);
    EXPECT_EQ(graph.dof_fbo, nullptr);  // targets are made by drawing
    EXPECT_EQ(graph.glow_fbo, nullptr);
}

TEST_F(Objects3DTest, WorldMatricesFollowTheInstancingRule) {
    Objects3D graph;
    std::unique_ptr<Mesh> cube(create_cube(1, false));
    Material m;
    Node* parent = graph.add(cube.get(), &m, nullptr);
    Node* child = graph.add(cube.get(), &m, parent);
    parent->modelViewMatrices = {translation(1, 0, 0)};
    child->modelViewMatrices.assign(6400, translation(0, 2, 0));
    std::vector<mat4> world;
    graph.get_node_matrices(child->this_index, world);
    ASSERT_EQ(world.size(), 6400u);
    EXPECT_EQ(world[6399].get(12), 1.0f);
    EXPECT_EQ(world[6399].get(13), 2.0f);

    parent->modelViewMatrices.assign(2, mat4());
    child->modelViewMatrices.assign(3, mat4());
    world.clear();
    EXPECT_FATAL(graph.get_node_matrices(child->this_index, world),
                 "Conflicting amount of instances: 2incoming matrices, this node has 3");
}

TEST_F(Objects3DTest, BoundsOfTheWholeGraphAndOfNamedNodes) {
    Objects3D graph;
    vec3 min, max;
    // No root yet: the whole graph is empty and no name can be found.
    graph.get_node_bounds(nullptr, min, max, true);
    EXPECT_EQ(min.x, 999999.0f);
    EXPECT_EQ(max.x, -999999.0f);
    EXPECT_FATAL(graph.get_node_bounds("box", min, max, true), "Couldn't find node box");

    std::unique_ptr<Mesh> cube(create_cube(2, false));
    Material m;
    Node* boxes = graph.add(cube.get(), &m, nullptr);
    boxes->modelViewMatrices = {translation(-5, 0, 0), translation(5, 0, 0)};
    graph.get_node_bounds("", min, max, false);
    EXPECT_EQ(min.x, -6.0f);
    EXPECT_EQ(max.x, 6.0f);
    EXPECT_EQ(max.y, 1.0f);
    EXPECT_FLOAT_EQ(graph.get_node_size(nullptr), std::sqrt(12.0f * 12 + 2 * 2 + 2 * 2));
    vec3 root_min, root_max;
    graph.get_node_bounds("Master node", root_min, root_max, false);
    EXPECT_EQ(root_min.x, min.x);
    EXPECT_EQ(root_max.z, max.z);
    EXPECT_FATAL(graph.get_node_size("box"), "Couldn't find node box");

    // A child graph counts with include_children only.
    Objects3D child;
    Node* far = child.add(cube.get(), &m, nullptr);
    far->modelViewMatrices = {translation(0, 20, 0)};
    graph.child_scenes.push_back(&child);
    graph.get_node_bounds(nullptr, min, max, true);
    EXPECT_EQ(max.y, 21.0f);
    EXPECT_EQ(min.x, -6.0f);
    graph.get_node_bounds(nullptr, min, max, false);
    EXPECT_EQ(max.y, 1.0f);
}

// A camera and a light at the origin looking along +z at a wall 5 away; the
// light's +z face holds depth 0 (something right at the light) over the
// half of the face where world x < 0 and the cleared far depth elsewhere.
TEST_F(Objects3DTest, LitPassShadowsWhereTheDepthMapSays) {
    Objects3D graph;
    Camera camera;
    camera.look_at(0, 0, 0, 0, 0, 1, 0, 1, 0);
    camera.set_fov(90.0f);
    camera.set_clip(0.1f, 50.0f);
    graph.cameras.push_back(&camera);
    graph.set_camera(0);
    Light light;
    light.shadow_size = 32;
    light.set_position(0, 0, 0);
    light.set_shadows(true);
    graph.lights.push_back(&light);
    std::unique_ptr<Mesh> plane(create_plane(12, 12, 1));
    Material wall;
    Node* node = graph.add(plane.get(), &wall, nullptr);
    mat4 place = translation(0, 0, 5);
    place.rotate(-90.0f, 1, 0, 0);  // the plane's +y normal turned towards the light
    node->modelViewMatrices = {place};
    graph.resize(64, 64, 1.0f);

    const mat4 face = light.begin_shadow_face(4);
    // face_views[4] maps world +x to the face's +x: its left half is world x < 0.
    vec3 probe(-1, 0, 5);
    face.transform_point(probe);
    EXPECT_LT(probe.x, 0.0f);
    glEnable(GL_SCISSOR_TEST);
    const int size = light.shadow_size;  // the render width since the resize
    EXPECT_EQ(size, 64);
    glScissor(0, 0, size / 2, size);
    glClearDepth(0.0);
    glClear(GL_DEPTH_BUFFER_BIT);
    glClearDepth(1.0);
    glDisable(GL_SCISSOR_TEST);
    light.end_shadow_face();

    FBO target(64, 64, FBO_TYPE_RGBA8, 0);
    target.push(true);
    camera.setup(64, 64, 1.0f, 1.0f);
    glEnable(GL_DEPTH_TEST);
    graph.render_context.set_light(&light);
    graph.render_context.set_shadow_pass(true);
    light.bind_shadow_map();
    graph.draw_node(graph.master_node, {camera.get_view_matrix()}, false, DRAW_MODE_SHADOW_LIGHTING);
    light.unbind_shadow_map();
    const std::vector<unsigned char> rgba = objects3d_test::read_and_keep("objects3d_shadow_test", 64, 64);
    target.pop();
    EXPECT_NO_GL_ERROR();
    // The camera looks along +z with +y up, so world x < 0 is on the right.
    auto red = [&](int x, int y) { return static_cast<int>(rgba[(y * 64 + x) * 4]); };
    EXPECT_GT(red(16, 32), 200) << "lit: world x > 0";
    EXPECT_EQ(red(48, 32), 0) << "shadowed: world x < 0";
    EXPECT_GT(red(24, 50), 150);
    EXPECT_EQ(red(40, 10), 0);
}

TEST_F(Objects3DTest, DrawingChecksTheCameraAndSkipsAnEmptyGraph) {
    Objects3D empty;
    empty.set_dof(true);
    empty.draw();  // no root: nothing, not even the target
    EXPECT_EQ(empty.dof_fbo, nullptr);

    Objects3D graph;
    std::unique_ptr<Mesh> cube(create_cube(1, false));
    Material m;
    graph.add(cube.get(), &m, nullptr);
    graph.set_camera(3);
    EXPECT_FATAL(graph.draw(), "cur_cam -1 out of range for 0 cameras!");

    Camera camera;
    graph.cameras.push_back(&camera);
    graph.set_camera(0);
    Node* a = graph.nodes[1].get();
    Node* b = graph.add(cube.get(), &m, a);
    a->modelViewMatrices.assign(2, mat4());
    b->modelViewMatrices.assign(3, mat4());
    graph.resize(16, 16, 1.0f);
    EXPECT_FATAL(graph.draw(), "Conflicting amount of instances in node , 2incoming matrices, this node has 3");
    b->modelViewMatrices.assign(2, mat4());
    m.diffuseColors.assign(3, vec4(1, 1, 1, 1));
    EXPECT_FATAL(graph.draw(), "Failed assert material->diffuseColors.size() == transformed_matrices.size()");
    EXPECT_NO_GL_ERROR();
}

// Brightest channel of a pixel.
int level(const std::vector<unsigned char>& rgba, int width, int x, int y) {
    const unsigned char* p = &rgba[(y * width + x) * 4];
    return std::max({p[0], p[1], p[2]});
}

struct SmallScene {
    SmallScene() {
        camera.look_at(0, 6, 9, 0, 0, 0, 0, 1, 0);
        camera.set_clip(0.5f, 40.0f);
        graph.cameras.push_back(&camera);
        graph.set_camera(0);
        light.set_position(0, 6, 0);
        light.set_attenuation_from_range(100.0f);
        light.set_shadow_clip_from_scale(15.0f);
        graph.lights.push_back(&light);
        floor_mesh = create_plane(16, 16, 1);
        box_mesh = create_cube(2, false);
        graph.add(floor_mesh.get(), &floor_material, nullptr);
        Node* box = graph.add(box_mesh.get(), &box_material, nullptr);
        box->modelViewMatrices = {translation(0, 1.5f, 0)};
    }
    Objects3D graph;
    Camera camera;
    Light light;
    std::unique_ptr<Mesh> floor_mesh, box_mesh;
    Material floor_material{5};
    Material box_material{3};
};

TEST_F(Objects3DTest, SmallGraphWithAShadowingLightAndDepthOfField) {
    constexpr int kW = 320, kH = 180;
    SmallScene scene;
    scene.graph.set_shadows(true);
    scene.graph.resize(kW, kH, static_cast<float>(kW) / kH);
    FBO target(kW, kH, FBO_TYPE_RGBA8, 0);

    // Sharp first: shadows only. The frame loop resets the GL state before a scene draws.
    SceneManager::reset_gl_state();
    target.push(true);
    scene.graph.draw();
    const auto sharp = objects3d_test::read_and_keep("objects3d_scene_sharp", kW, kH);
    target.pop();
    EXPECT_NO_GL_ERROR();
    // Made by set_shadows before the resize, so rebuilt at the render width.
    EXPECT_EQ(scene.light.shadow_size, kW);
    // The box's top is lit orange; the floor right beside the box is lit
    // warm white, the floor behind the box (away from the camera, under the
    // light's shadow) is darker.
    // Rows count from the bottom. The box's top faces the light: lit orange.
    const int box_top = level(sharp, kW, kW / 2, 135);
    EXPECT_GT(box_top, 150);
    EXPECT_GT(sharp[(135 * kW + kW / 2) * 4], sharp[(135 * kW + kW / 2) * 4 + 2] + 100) << "orange";
    // The box's front face turns from the light (above it): unlit.
    EXPECT_LT(level(sharp, kW, kW / 2, 100), 40);
    // The floor in front of the box lies in its shadow, the floor beside it is lit.
    EXPECT_LT(level(sharp, kW, kW / 2, 78), 40);
    EXPECT_GT(level(sharp, kW, 60, 78), 150);

    // Depth of field on, focused on the box: the box stays, the far floor blurs.
    scene.camera.focus_point = (11.0f - 0.5f) / 39.5f;
    scene.camera.focus_range = 0.02f;
    scene.camera.focus_falloff = 0.05f;
    scene.graph.set_dof(true);
    SceneManager::reset_gl_state();
    target.push(true);
    scene.graph.draw();
    const auto soft = objects3d_test::read_and_keep("objects3d_scene_dof", kW, kH);
    target.pop();
    EXPECT_NO_GL_ERROR();
    ASSERT_NE(scene.graph.dof_fbo, nullptr);
    EXPECT_EQ(scene.graph.dof_fbo->get_width(), kW);
    EXPECT_NEAR(level(soft, kW, kW / 2, 135), box_top, 8);
    // Somewhere along the far floor's edge the picture changed.
    int changed = 0;
    for (int x = 0; x < kW; ++x)
        for (int y = 140; y < kH; ++y)
            if (std::abs(level(soft, kW, x, y) - level(sharp, kW, x, y)) > 8) ++changed;
    EXPECT_GT(changed, 20);
}

TEST_F(Objects3DTest, UnderAScissorBoxTheBoxIsDrawnAsWhenDrawnWhole) {
    // The frame loop may scissor a scene to the part the passes read. The
    // graph then draws its shadow faces whole and its depth-of-field target
    // only as far as the composite reads around the box: inside the box the
    // pixels are those of the whole drawing. The ambient light is faint
    // enough that the lit pass lays the depths itself.
    constexpr int kW = 320, kH = 180;
    SmallScene scene;
    scene.graph.set_shadows(true);
    scene.graph.set_dof(true);
    scene.graph.set_global_ambient(vec4(0.001f, 0.001f, 0.001f, 0.001f));
    scene.camera.focus_point = (11.0f - 0.5f) / 39.5f;
    scene.camera.focus_range = 0.02f;
    scene.camera.focus_falloff = 0.05f;
    scene.graph.resize(kW, kH, static_cast<float>(kW) / kH);
    FBO target(kW, kH, FBO_TYPE_RGBA8, 0);
    auto draw = [&](const ViewportRect* box) {
        SceneManager::reset_gl_state();
        target.push(true);
        if (box) {
            glEnable(GL_SCISSOR_TEST);
            glScissor(box->x, box->y, box->width, box->height);
        }
        scene.graph.draw();
        EXPECT_EQ(glIsEnabled(GL_SCISSOR_TEST), box ? GL_TRUE : GL_FALSE);
        glDisable(GL_SCISSOR_TEST);
        std::vector<unsigned char> rgba = test_support::read_pixels(0, 0, kW, kH);
        target.pop();
        return rgba;
    };
    const std::vector<unsigned char> whole = draw(nullptr);
    // The box's top lit orange, the floor in its shadow dark.
    EXPECT_GT(level(whole, kW, kW / 2, 135), 150);
    EXPECT_LT(level(whole, kW, kW / 2, 78), 40);
    // Boxes on the blurred far floor and across the box's shadow.
    for (const ViewportRect box : {ViewportRect{100, 120, 120, 60}, ViewportRect{40, 30, 200, 90}}) {
        SCOPED_TRACE(testing::Message() << "box " << box.x << ", " << box.y << ", " << box.width << " x "
                                        << box.height);
        const std::vector<unsigned char> part = draw(&box);
        int worst = 0;
        for (int y = box.y; y < box.y + box.height; ++y)
            for (int x = box.x; x < box.x + box.width; ++x)
                for (int c = 0; c < 4; ++c) {
                    const size_t at = (static_cast<size_t>(y) * kW + x) * 4 + c;
                    worst = std::max(worst, std::abs(part[at] - whole[at]));
                }
        EXPECT_EQ(worst, 0);
        // Outside it the target kept its clear.
        EXPECT_EQ(level(part, kW, box.x - 1, box.y), 0);
    }
    EXPECT_NO_GL_ERROR();
}

TEST_F(Objects3DTest, AClosedBoxThroughTheShadowPipelineLooksAsAnOpenOne) {
    // The ambient and lit passes leave out a closed mesh's back faces, and
    // the shadows stay. With a bright ambient light (its own pass) and a faint one (the lit
    // pass lays the depths), the picture is the open box's but for the odd
    // pixel along its outline, where a back face met a front face.
    constexpr int kW = 320, kH = 180;
    SmallScene scene;
    scene.graph.set_shadows(true);
    scene.graph.resize(kW, kH, static_cast<float>(kW) / kH);
    FBO target(kW, kH, FBO_TYPE_RGBA8, 0);
    auto draw = [&](bool closed) {
        scene.box_mesh->closed = closed;
        SceneManager::reset_gl_state();
        target.push(true);
        scene.graph.draw();
        std::vector<unsigned char> rgba = test_support::read_pixels(0, 0, kW, kH);
        target.pop();
        return rgba;
    };
    for (float ambient : {0.2f, 0.001f}) {
        SCOPED_TRACE(testing::Message() << "ambient " << ambient);
        scene.graph.set_global_ambient(vec4(ambient, ambient, ambient, 1.0f));
        const std::vector<unsigned char> open = draw(false), closed = draw(true);
        int off = 0;
        for (size_t i = 0; i < open.size(); ++i)
            if (std::abs(open[i] - closed[i]) > 2) ++off;
        EXPECT_LE(off, 8);
        // The floor in the box's shadow stays dark, the box's top lit.
        EXPECT_LT(level(closed, kW, kW / 2, 78), 40);
        EXPECT_GT(level(closed, kW, kW / 2, 135), 150);
    }
    EXPECT_NO_GL_ERROR();
}

// With culling on, the shadow pipeline's lit pass keeps the faces turned to
// the camera. A box whose outside faced away from it would be drawn inside
// out: its lit faces hidden behind the ambient pass's near ones, the top
// left dark. A mirrored node turns its winding over, and only its mirrored
// flag turns it back.
TEST_F(Objects3DTest, CullingKeepsTheOutsideOfTheBoxAndFollowsMirroredNodes) {
    constexpr int kW = 320, kH = 180;
    SmallScene scene;
    scene.graph.set_shadows(true);
    scene.graph.resize(kW, kH, static_cast<float>(kW) / kH);
    Node* box = scene.graph.nodes[2].get();
    FBO target(kW, kH, FBO_TYPE_RGBA8, 0);
    struct Case {
        const char* what;
        bool cull;
        float mirror_x;  // -1: the box mirrored in x
        bool mirrored;
        bool top_lit;
    };
    const Case cases[] = {
        {"culling on", true, 1.0f, false, true},
        {"a mirrored box flagged as mirrored", true, -1.0f, true, true},
        {"a mirrored box not flagged: inside out", true, -1.0f, false, false},
        {"culling off draws it either way", false, -1.0f, false, true},
    };
    int shot = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        mat4 place = translation(0, 1.5f, 0);
        place.scale(c.mirror_x, 1.0f, 1.0f);
        box->modelViewMatrices = {place};
        box->mirrored = c.mirrored;
        scene.graph.cull_faces = c.cull;
        SceneManager::reset_gl_state();
        target.push(true);
        scene.graph.draw();
        const auto frame = objects3d_test::read_and_keep("objects3d_cull_" + std::to_string(shot++), kW, kH);
        target.pop();
        EXPECT_NO_GL_ERROR();
        if (c.top_lit)
            EXPECT_GT(level(frame, kW, kW / 2, 135), 150);
        else
            EXPECT_LT(level(frame, kW, kW / 2, 135), 40);
        EXPECT_GT(level(frame, kW, 60, 78), 150) << "the floor beside the box, lit";
        EXPECT_LT(level(frame, kW, kW / 2, 100), 40) << "the box's front, turned from the light";
    }
}

}  // namespace
