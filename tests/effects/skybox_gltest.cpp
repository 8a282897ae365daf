// The sky box drawn, from plain files and from the archive table: which face
// each view direction shows, both face-naming schemes, the fatal paths, the
// state render leaves, and the shipped nebula faces.
#include <GL/glew.h>
#include <GL/glu.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "effects/skybox.h"
#include "support/gl_context.h"
#include "support/gl_frame.h"
#include "support/test_support.h"
#include "util/data/data.h"
#include "util/data/data_fixture.h"
#include "util/fbo/fbo.h"
#include "util/texture/picture_files.h"

namespace {

using Effects::SkyBox;
using test_support::Frame;

std::string read_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// One colour per face, in face order -X, +X, -Y, +Y, -Z, +Z.
const std::vector<int> kFaceColours[6] = {{255, 0, 0},   {0, 255, 0},   {0, 0, 255},
                                          {255, 255, 0}, {255, 0, 255}, {0, 255, 255}};

const char* const kAxes[6] = {"negx", "posx", "negy", "posy", "negz", "posz"};
const char* const kSides[6] = {"left", "right", "down", "up", "back", "front"};

// The data the sky box reads, given either as files in the working folder
// (plain mode) or only as entries of the archive table (archive-read mode).
class SkyBoxGlTest : public test_support::GlTest, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        GlTest::SetUp();
        DataFile::reset();
        DataFile::set_mode(mode());
        for (const char* shader : {"data/effects/skybox/skybox.vert", "data/effects/skybox/skybox.frag"})
            provide(shader, read_bytes(test_support::source_path(shader)));
        in = std::make_unique<test_support::ScopedChdir>(work.path());
    }
    void TearDown() override {
        in.reset();
        DataFile::reset();
        glUseProgram(0);
        glDisable(GL_LIGHTING);
        glDisable(GL_DEPTH_TEST);
    }

    int mode() const { return GetParam(); }

    void provide(const std::string& name, const std::string& bytes) {
        if (mode() == DataFileMode::Read) return data_test::add_entry(name, bytes);
        std::filesystem::create_directories(std::filesystem::path(work.file(name)).parent_path());
        std::ofstream(work.file(name), std::ios::binary) << bytes;
    }

    // Face i of a scheme, solid in its colour, as "<base><word>.png".
    void provide_face(const char* const words[6], int i, const std::string& base = "data/sky/") {
        const std::string staged = staging.file(std::string(words[i]) + ".png");
        const std::vector<int>& c = kFaceColours[i];
        picture_files::write_png(staged, picture_files::solid(8, 8, static_cast<uint8_t>(c[0]),
                                                              static_cast<uint8_t>(c[1]), static_cast<uint8_t>(c[2])));
        provide(base + words[i] + ".png", read_bytes(staged));
    }
    void provide_faces(const char* const words[6], const std::string& base = "data/sky/") {
        for (int i = 0; i < 6; ++i) provide_face(words, i, base);
    }

    // The centre pixel seen from the sky box's position along `direction`.
    std::vector<int> look(SkyBox& sky, const vec3& direction) {
        FBO target(16, 16, FBO_TYPE_RGBA8, 0);
        target.push(true);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(60.0, 1.0, 0.5, 1000.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        const vec3 p = sky.get_position();
        const bool vertical = direction.x == 0 && direction.z == 0;
        gluLookAt(p.x, p.y, p.z, p.x + direction.x, p.y + direction.y, p.z + direction.z, 0, vertical ? 0 : 1,
                  vertical ? 1 : 0);
        sky.render(0.0f);
        EXPECT_NO_GL_ERROR();
        const test_support::Rgba c = Frame(16, 16).at(8, 8);
        target.pop();
        glLoadIdentity();
        return {c.r, c.g, c.b};
    }

    test_support::TempDir work;
    test_support::TempDir staging;
    std::unique_ptr<test_support::ScopedChdir> in;
};

const vec3 kDirections[] = {vec3(0, 1, 0),  vec3(0, -1, 0), vec3(0, 0, -1),
                            vec3(0, 0, 1),  vec3(1, 0, 0),  vec3(-1, 0, 0)};

TEST_P(SkyBoxGlTest, EachViewShowsTheFaceTheTableNamesInBothNamingSchemes) {
    provide_faces(kAxes, "data/axes/");
    provide_faces(kSides, "data/sides/");
    for (const char* const* words : {kAxes, kSides}) {
        const char* base = words == kAxes ? "data/axes/" : "data/sides/";
        SkyBox sky;
        sky.init(vec3(2, 3, -1), 50.0f, base, "png");
        EXPECT_FLOAT_EQ(sky.get_scale(), 100.0f);
        for (const vec3& d : kDirections)
            EXPECT_EQ(look(sky, d), kFaceColours[Effects::skybox_face(d)])
                << words[0] << " scheme, looking along " << d.x << "," << d.y << "," << d.z;
        // The tinted colour multiplies the faces.
        sky.colour = vec3(0.5f, 0.5f, 0.5f);
        const std::vector<int> tinted = look(sky, vec3(1, 0, 0));
        EXPECT_NEAR(tinted[1], 128, 2);
        EXPECT_EQ(tinted[0], 0);
    }
}

TEST_P(SkyBoxGlTest, AFirstSchemeFaceMissingEndsTheRunWithoutTryingTheSecond) {
    for (int i = 0; i < 5; ++i) provide_face(kAxes, i);  // no posz
    provide_faces(kSides);
    SkyBox sky;
    EXPECT_FATAL(sky.init(vec3(0, 0, 0), 50.0f, "data/sky/", "png"),
                 "Failed to load cubemap with base data/sky/ and extension png!");
}

TEST_P(SkyBoxGlTest, ASecondSchemeFaceMissingEndsTheRunWithTheCubeMapMessage) {
    for (int i = 1; i < 6; ++i) provide_face(kSides, i);  // no left, and no negx
    SkyBox sky;
    EXPECT_FATAL(sky.init(vec3(0, 0, 0), 50.0f, "data/sky/", "png"),
                 "Failed to load cubemap with base data/sky/ and extension png!");
}

TEST_P(SkyBoxGlTest, RenderBeforeInitAndASecondInitEndTheRun) {
    provide_faces(kAxes);
    SkyBox sky;
    EXPECT_FATAL(sky.render(0.0f), "SkyBox::render() called without initializing effect!");
    sky.init(vec3(0, 0, 0), 1.0f, "data/sky/", "png");
    EXPECT_FATAL(sky.init(vec3(0, 0, 0), 1.0f, "data/sky/", "png"), "SkyBox::init() called twice!");
}

TEST_P(SkyBoxGlTest, RenderLeavesLightingAndDepthOnAndNoCubeMap) {
    provide_faces(kAxes);
    SkyBox sky;
    sky.init(vec3(0, 0, 0), 1.0f, "data/sky/", "png");
    glEnable(GL_CULL_FACE);
    glEnable(GL_ALPHA_TEST);
    FBO target(8, 8, FBO_TYPE_RGBA8, 0);
    target.push(true);
    sky.render(0.0f);
    target.pop();
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
    EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_CUBE_MAP));
    GLint bound = -1, active = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_CUBE_MAP, &bound);
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    EXPECT_EQ(bound, 0);
    EXPECT_EQ(active, GL_TEXTURE0);
    EXPECT_NO_GL_ERROR();
}

INSTANTIATE_TEST_SUITE_P(DataModes, SkyBoxGlTest, ::testing::Values(DataFileMode::Plain, DataFileMode::Read),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return info.param == DataFileMode::Read ? std::string("Archive") : std::string("Plain");
                         });

TEST(SkyBoxShippedData, TheNebulaFacesLoadAndShowAroundTheEye) {
    test_support::ensure_gl_context();
    DataFile::reset();
    DataFile::set_mode(DataFileMode::Plain);
    test_support::ScopedChdir in(test_support::source_path(""));
    SkyBox sky;
    sky.init(vec3(0, 0, 0), 50.0f, "data/effects/skybox/spacescape_desat_nebula_complex/desat_nebula_complex_",
             "png");

    const int w = 320, h = 180;
    FBO target(w, h, FBO_TYPE_RGBA8, 0);
    target.push(true);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(75.0, static_cast<double>(w) / h, 0.5, 1000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(0, 0, 0, 1, 0.35, 0.6, 0, 1, 0);  // across an edge and a corner region
    sky.render(0.0f);
    EXPECT_NO_GL_ERROR();
    const Frame frame(w, h);
    target.pop();
    glLoadIdentity();
    glUseProgram(0);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    frame.keep("skybox-nebula");

    // A dark sky with grey clouds and stars: something lit, nothing burnt out
    // over large areas, and little colour (desaturated).
    int lit = 0, white = 0, colourful = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const test_support::Rgba c = frame.at(x, y);
            lit += c.brightest() > 40;
            white += c.brightest() > 250;
            colourful += c.brightest() - std::min({c.r, c.g, c.b}) > 40;
        }
    EXPECT_GT(lit, w * h / 50);
    EXPECT_LT(white, w * h / 100);
    EXPECT_LT(colourful, w * h / 100);
}

}  // namespace
