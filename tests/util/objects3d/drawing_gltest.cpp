// The drawing passes over small graphs: which nodes draw, instancing down
// the tree, mirrored winding, per-instance colours, light markers, glow,
// the bounds box and child graphs.
#include <memory>

#include "scenes.h"
#include "util/camera/camera.h"
#include "util/fbo/fbo.h"
#include "util/gl_draw_helpers.h"
#include "util/objects3d/matrices.h"
#include "util/objects3d/objects3d.h"
#include "util/objects3d/objects3d_fixture.h"

namespace {

using gl_draw_helpers::pixel;
using objects3d_test::translation;

constexpr int kSize = 64;

// A camera 10 in front of the origin looking at it; x = +-2 lands near
// pixel columns 16 and 48 of the 64 x 64 target.
class DrawingTest : public objects3d_test::Objects3DGlTest {
protected:
    void SetUp() override {
        Objects3DGlTest::SetUp();
        camera.look_at(0, 0, 10, 0, 0, 0, 0, 1, 0);
        camera.set_clip(0.5f, 50.0f);
        graph = std::make_unique<Objects3D>();
        graph->cameras.push_back(&camera);
        graph->set_camera(0);
        cube = create_cube(1.0f, false);
        graph->resize(kSize, kSize, 1.0f);
        target = std::make_unique<FBO>(kSize, kSize, FBO_TYPE_RGBA8, 0);
    }
    void TearDown() override {
        target.reset();
        graph.reset();
        Objects3DGlTest::TearDown();
    }
    // One frame of the graph as the frame loop would draw it.
    void draw() {
        SceneManager::reset_gl_state();
        target->push(true);
        graph->draw();
        frame = objects3d_test::read_and_keep(name, kSize, kSize);
        target->pop();
    }
    std::vector<int> at(int x, int y) const {
        const unsigned char* p = &frame[(y * kSize + x) * 4];
        return {p[0], p[1], p[2], p[3]};
    }

    std::string name = "objects3d_drawing";
    Camera camera;
    std::unique_ptr<Objects3D> graph;
    std::unique_ptr<Mesh> cube;
    std::unique_ptr<FBO> target;
    std::vector<unsigned char> frame;
};

const std::vector<int> kNothing{0, 0, 0, 0};

TEST_F(DrawingTest, DisabledHidesTheSubtreeInvisibleOnlyTheNodesOwnObjects) {
    Material red, blue;
    red.diffuse = vec4(1, 0, 0, 1);
    red.ambient = vec4(0, 0, 0, 1);
    blue.diffuse = vec4(0, 0, 1, 1);
    blue.ambient = vec4(0, 0, 0, 1);
    Node* parent = graph->add(cube.get(), &red, nullptr);
    parent->modelViewMatrices = {translation(-2, 0, 0)};
    Node* child = graph->add(cube.get(), &blue, parent);
    child->modelViewMatrices = {translation(4, 0, 0)};  // at +2 in the world
    graph->set_shadows(true);  // without lights: the plain pass, no light uniforms

    draw();
    EXPECT_EQ(at(16, 32), (std::vector<int>{255, 0, 0, 255}));  // no light: the diffuse colour
    EXPECT_EQ(at(48, 32), (std::vector<int>{0, 0, 255, 255}));
    EXPECT_EQ(at(32, 60), kNothing);

    parent->visible = false;
    draw();
    EXPECT_EQ(at(16, 32), kNothing);
    EXPECT_EQ(at(48, 32), (std::vector<int>{0, 0, 255, 255}));

    parent->visible = true;
    parent->enabled = false;
    draw();
    EXPECT_EQ(at(16, 32), kNothing);
    EXPECT_EQ(at(48, 32), kNothing);
    EXPECT_NO_GL_ERROR();
}

TEST_F(DrawingTest, InstancesMultiplyDownTheTreeWithTheirOwnColours) {
    Material tiles;
    tiles.ambient = vec4(0, 0, 0, 1);
    // Four instances in a row, fading out; blended over black as the tiles are.
    tiles.diffuseColors = {vec4(1, 1, 1, 1), vec4(1, 1, 1, 0.5f), vec4(1, 1, 1, 0.25f), vec4(1, 1, 1, 0)};
    Node* row = graph->add(cube.get(), &tiles, nullptr);
    row->modelViewMatrices = {translation(-3, 0, 0), translation(-1, 0, 0), translation(1, 0, 0),
                              translation(3, 0, 0)};
    Node* above = graph->add(cube.get(), &tiles, row);  // one matrix under four: four instances
    above->modelViewMatrices = {translation(0, 2, 0)};

    SceneManager::reset_gl_state();
    target->push(true);
    glEnable(GL_BLEND);  // as the tiles scene draws
    GLuint query = 0;
    glGenQueries(1, &query);
    glBeginQuery(GL_PRIMITIVES_GENERATED, query);
    graph->draw();
    glEndQuery(GL_PRIMITIVES_GENERATED);
    GLuint triangles = 0;
    glGetQueryObjectuiv(query, GL_QUERY_RESULT, &triangles);
    glDeleteQueries(1, &query);
    frame = objects3d_test::read_and_keep("objects3d_instances", kSize, kSize);
    target->pop();
    EXPECT_EQ(triangles, 2u * 4u * 12u);
    // Brightness follows each instance's alpha.
    const int xs[4] = {9, 25, 39, 55};
    const int expected[4] = {255, 128, 64, 0};
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(at(xs[i], 32)[0], expected[i], 3) << "instance " << i;
        EXPECT_NEAR(at(xs[i], 45)[0], expected[i], 3) << "instance " << i << " above";
    }
    EXPECT_NO_GL_ERROR();
}

TEST_F(DrawingTest, MirroredFlagsCancelDownTheTree) {
    Material m;
    Node* a = graph->add(cube.get(), &m, nullptr);
    camera.setup(kSize, kSize, 1.0f, 1.0f);
    target->push(true);
    struct Case {
        bool incoming, own;
        GLint front;
    };
    for (Case c : {Case{false, false, GL_CCW}, Case{true, false, GL_CW}, Case{false, true, GL_CW},
                   Case{true, true, GL_CCW}}) {
        a->mirrored = c.own;
        graph->draw_node(a, {camera.get_view_matrix()}, c.incoming, DRAW_MODE_NORMAL);
        GLint front = 0;
        glGetIntegerv(GL_FRONT_FACE, &front);
        EXPECT_EQ(front, c.front) << c.incoming << " " << c.own;
    }
    target->pop();
    EXPECT_NO_GL_ERROR();
}

// One triangle over the middle of the picture, facing the camera
// (counter-clockwise seen from it) or facing away, said to be closed.
std::unique_ptr<Mesh> closed_triangle(bool facing) {
    auto mesh = std::make_unique<Mesh>();
    mesh->name = "Triangle";
    const float x = facing ? 2.0f : -2.0f;
    mesh->vertices = {-x, -2, 0, x, -2, 0, 0, 2, 0};
    mesh->normals = {0, 0, 1, 0, 0, 1, 0, 0, 1};
    mesh->vertices_stride = 3;
    mesh->normals_stride = 3;
    mesh->closed = true;
    return mesh;
}

TEST_F(DrawingTest, ClosedMeshesLeaveOutOnlyBackFacesThatCannotShow) {
    std::unique_ptr<Mesh> facing = closed_triangle(true), away = closed_triangle(false);
    std::unique_ptr<Mesh> open = closed_triangle(false);
    open->closed = false;
    mat4 mirroring;
    mirroring.scale(-1.0f, 1.0f, 1.0f);
    const std::vector<int> red{255, 0, 0, 255};
    struct Case {
        const char* what;
        Mesh* mesh;
        bool node_mirrored;
        mat4 matrix;
        float alpha;
        std::vector<int> centre;
    };
    const Case cases[] = {
        {"front face", facing.get(), false, mat4(), 1.0f, red},
        {"back face left out", away.get(), false, mat4(), 1.0f, kNothing},
        {"back face of an open mesh", open.get(), false, mat4(), 1.0f, red},
        // Mirrored, the front face winds the other way and stays.
        {"mirrored node", facing.get(), true, mat4(), 1.0f, red},
        {"mirroring instance", facing.get(), false, mirroring, 1.0f, red},
        // A transparent mesh shows its far side through its near one.
        {"transparent", away.get(), false, mat4(), 0.5f, {255, 0, 0, 128}},
    };
    for (const Case& c : cases) {
        graph = std::make_unique<Objects3D>();
        graph->cameras.push_back(&camera);
        graph->set_camera(0);
        graph->resize(kSize, kSize, 1.0f);
        Material m;
        m.diffuse = vec4(1, 0, 0, c.alpha);
        m.ambient = vec4(0, 0, 0, 1);
        Node* node = graph->add(c.mesh, &m, nullptr);
        node->modelViewMatrices = {c.matrix};
        node->mirrored = c.node_mirrored;
        draw();
        const std::vector<int> centre = at(32, 32);
        for (int k = 0; k < 4; ++k) EXPECT_NEAR(centre[k], c.centre[k], 1) << c.what << ", channel " << k;
        EXPECT_FALSE(glIsEnabled(GL_CULL_FACE)) << c.what;
    }
    EXPECT_NO_GL_ERROR();
}

TEST_F(DrawingTest, DepthOfFieldReadsOnlyAroundWhatWasDrawnAndClearsTheRest) {
    constexpr int kW = 200, kH = 120;
    Material m;
    m.diffuse = vec4(1, 0.5f, 0, 1);
    Node* box = graph->add(cube.get(), &m, nullptr);
    box->modelViewMatrices = {translation(-2, 1, 0)};
    graph->set_dof(true);
    graph->resize(kW, kH, static_cast<float>(kW) / kH);
    // In focus far behind the box, which blurs as much as it can.
    camera.focus_point = 0.9f;
    camera.focus_range = 0.0f;
    camera.focus_falloff = 0.01f;
    FBO big(kW, kH, FBO_TYPE_RGBA8, 0);
    auto picture = [&](const char* name) {
        SceneManager::reset_gl_state();
        glClearColor(0.3f, 0.6f, 0.9f, 1.0f);
        big.push(true);  // what was there before: the composite covers all of it
        glClearColor(0.1f, 0.2f, 0.3f, 0.4f);
        graph->draw();
        std::vector<unsigned char> rgba = objects3d_test::read_and_keep(name, kW, kH);
        big.pop();
        return rgba;
    };
    const std::vector<unsigned char> around = picture("objects3d_dof_around");
    // A child graph, even an empty one, makes the composite read its whole target.
    graph->draw_lights = true;
    const std::vector<unsigned char> whole = picture("objects3d_dof_whole");
    ASSERT_EQ(around.size(), whole.size());
    int differ = 0, drawn = 0;
    for (size_t i = 0; i < around.size(); i += 4) {
        if (around[i] != whole[i] || around[i + 1] != whole[i + 1] || around[i + 2] != whole[i + 2] ||
            around[i + 3] != whole[i + 3])
            ++differ;
        if (whole[i] != 26) ++drawn;
    }
    EXPECT_EQ(differ, 0);
    // The box covers a small part of the picture; the rest is the cleared colour.
    EXPECT_GT(drawn, 50);
    EXPECT_LT(drawn, kW * kH / 4);
    const int cleared[4] = {26, 51, 77, 102};
    for (int k = 0; k < 4; ++k) EXPECT_NEAR(around[k], cleared[k], 1) << "channel " << k;
    EXPECT_NO_GL_ERROR();
}

TEST_F(DrawingTest, LightMarkersSitAtTheLightsInTheirColour) {
    Material m;
    Node* far = graph->add(cube.get(), &m, nullptr);
    far->modelViewMatrices = {translation(0, 0, -30)};  // behind everything, out of the way
    Light light;
    light.set_position(2, 0, 0);
    light.set_diffuse(0, 1, 0, 1);
    Light hidden;
    hidden.type = Light::kTypeSkipped;
    hidden.set_position(-2, 0, 0);
    graph->lights = {&light, &hidden};
    graph->set_draw_lights(true, 0.5f);
    draw();
    EXPECT_EQ(at(48, 32), (std::vector<int>{0, 255, 0, 255}));
    EXPECT_EQ(at(16, 32), kNothing);  // lights of type 3 get no marker
    EXPECT_NO_GL_ERROR();

    graph->cameras.clear();
    graph->cur_cam = 0;
    EXPECT_FATAL(graph->draw_light_markers(1.0f), "Failed assert cameras.size( ) > 0");
}

TEST_F(DrawingTest, GlowAddsEachMaterialsGlowColourOverTheFrame) {
    Material glowing, dull;
    glowing.diffuse = dull.diffuse = vec4(1, 0, 0, 1);
    glowing.ambient = dull.ambient = vec4(0, 0, 0, 1);
    glowing.glow = vec4(0, 1, 0, 1);  // dull keeps the default black glow
    graph->add(cube.get(), &glowing, nullptr)->modelViewMatrices = {translation(2, 0, 0)};
    graph->add(cube.get(), &dull, nullptr)->modelViewMatrices = {translation(-2, 0, 0)};
    auto rgb = [&](int x, int y) {
        std::vector<int> p = at(x, y);
        p.pop_back();
        return p;
    };

    draw();
    EXPECT_EQ(rgb(48, 32), (std::vector<int>{255, 0, 0}));
    EXPECT_EQ(graph->glow_fbo, nullptr);

    graph->glow = true;
    name = "objects3d_glow";
    draw();
    ASSERT_NE(graph->glow_fbo, nullptr);
    EXPECT_EQ(graph->glow_fbo->get_width(), kSize);
    // Added on top of the plain pass: red and green make yellow.
    const std::vector<int> yellow = rgb(48, 32);
    EXPECT_EQ(yellow[0], 255);
    EXPECT_NEAR(yellow[1], 255, 2);
    EXPECT_EQ(yellow[2], 0);
    EXPECT_EQ(rgb(16, 32), (std::vector<int>{255, 0, 0}));  // black glow adds nothing
    EXPECT_EQ(rgb(32, 32), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(rgb(48, 50), (std::vector<int>{0, 0, 0}));  // above the glowing cube
    EXPECT_NO_GL_ERROR();
}

TEST_F(DrawingTest, BoundsBoxCoversTheWholeGraphTranslucentlyAndNothingElse) {
    Material red;
    red.diffuse = vec4(1, 0, 0, 1);
    red.ambient = vec4(0, 0, 0, 1);
    // Two unit cubes at x = -2 and 2: one box from -2.5 to 2.5 around both.
    graph->add(cube.get(), &red, nullptr)->modelViewMatrices = {translation(-2, 0, 0)};
    graph->add(cube.get(), &red, nullptr)->modelViewMatrices = {translation(2, 0, 0)};
    draw();
    EXPECT_EQ(at(32, 32), kNothing);

    graph->draw_bounds = true;
    name = "objects3d_bounds";
    draw();
    // (0, 0.5, 1) at alpha 0.3, added once by the box's front and once by
    // its back, through everything.
    const std::vector<int> between = at(32, 32);
    EXPECT_EQ(between[0], 0);
    EXPECT_NEAR(between[1], 77, 2);
    EXPECT_NEAR(between[2], 153, 2);
    const std::vector<int> over_cube = at(16, 32);
    EXPECT_EQ(over_cube[0], 255);
    EXPECT_NEAR(over_cube[1], 77, 2);
    EXPECT_NEAR(over_cube[2], 153, 2);
    EXPECT_EQ(at(32, 50), kNothing);  // above the box
    EXPECT_EQ(at(4, 32), kNothing);   // beyond its left end
    EXPECT_NO_GL_ERROR();
}

TEST_F(DrawingTest, ChildGraphsDrawThroughTheirOwnersCamera) {
    Material red, blue;
    red.diffuse = vec4(1, 0, 0, 1);
    red.ambient = vec4(0, 0, 0, 1);
    blue.diffuse = vec4(0, 0, 1, 1);
    blue.ambient = vec4(0, 0, 0, 1);
    graph->add(cube.get(), &red, nullptr)->modelViewMatrices = {translation(-2, 0, 0)};
    Objects3D child;  // no camera of its own
    child.owner = graph.get();
    child.add(cube.get(), &blue, nullptr)->modelViewMatrices = {translation(2, 0, 0)};
    Objects3D empty_child;  // no root yet: nothing to draw
    empty_child.owner = graph.get();

    draw();
    EXPECT_EQ(at(48, 32), kNothing);

    graph->child_scenes = {&empty_child, &child};
    name = "objects3d_child_graph";
    draw();
    EXPECT_EQ(at(16, 32), (std::vector<int>{255, 0, 0, 255}));
    EXPECT_EQ(at(48, 32), (std::vector<int>{0, 0, 255, 255}));
    EXPECT_EQ(at(32, 32), kNothing);
    EXPECT_NO_GL_ERROR();

    // Left to draw through a camera of its own, which it lacks.
    child.owner = &child;
    EXPECT_FATAL(graph->draw(), "cur_cam 0 out of range for 0 cameras!");
}

}  // namespace
