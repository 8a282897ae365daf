// What each pass hands its program: names and defaults of the parameters,
// and the uniform values render() leaves in the bound program.
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "effects/postproc/film.h"
#include "effects/postproc/postproc_passes.h"
#include "util/math/mat4.h"

namespace {

using postproc_test::params_of;
using postproc_test::passes;
using postproc_test::Passes;
using Uniforms = std::vector<std::pair<std::string, std::vector<float>>>;

class PostProcUniformsTest : public test_support::GlTest {
protected:
    // The bound program's value of a uniform that the shaders really use.
    static std::vector<float> uniform(const std::string& name, size_t size) {
        GLint program = 0;
        glGetIntegerv(GL_CURRENT_PROGRAM, &program);
        const GLint location = glGetUniformLocation(program, name.c_str());
        EXPECT_GE(location, 0) << name << " is not an active uniform";
        std::vector<float> value(16, -12345.0f);
        if (location >= 0) glGetUniformfv(program, location, value.data());
        value.resize(size);
        return value;
    }

    static void expect_uniforms(Effects::PostProc& pass, const Uniforms& expected) {
        // Within 4 units in the last place: the values are single-precision
        // products and sums of the parameters.
        for (const auto& u : expected) {
            const std::vector<float> actual = uniform(u.first, u.second.size());
            for (size_t i = 0; i < actual.size(); ++i)
                EXPECT_FLOAT_EQ(actual[i], u.second[i]) << pass.get_name() << " " << u.first << "[" << i << "]";
        }
        const mat4 unit_square(mat4::PRESET_UNIT_SQUARE);
        EXPECT_EQ(uniform("ProjectionMatrix", 16),
                  std::vector<float>(unit_square.data(), unit_square.data() + 16))
            << pass.get_name();
        EXPECT_NO_GL_ERROR();
    }
};

TEST_F(PostProcUniformsTest, APassBuiltFromItsRowHasTheRowsNameParametersAndDefaults) {
    // The passes are the registry's, made by each row's maker from the row.
    const std::vector<Effects::PostProc*> all = passes().all();
    ASSERT_EQ(all.size(), postproc_registry().size());
    for (size_t i = 0; i < all.size(); ++i) {
        const PassInfo& row = postproc_registry()[i];
        SCOPED_TRACE(row.name);
        EXPECT_EQ(all[i]->get_name(), row.name);
        std::vector<std::string> names;
        std::vector<float> defaults;
        for (const PassParam& param : row.params) {
            names.push_back(std::string(row.name) + param.word);
            defaults.push_back(param.value);
        }
        EXPECT_EQ(all[i]->get_param_names(), names);
        EXPECT_EQ(params_of(*all[i]), defaults);
        const int count = static_cast<int>(row.params.size());
        EXPECT_EQ(all[i]->get_param(count), 0.0f);
        EXPECT_EQ(all[i]->get_param(-1), 0.0f);
        EXPECT_FATAL(all[i]->set_param(count, 1.0f), "WARNING: Param index " + std::to_string(count) +
                                                         " for effect " + row.name + " is out of bounds\n");
    }
}

TEST_F(PostProcUniformsTest, DefaultsReachTheShadersAsTheirUniforms) {
    Passes& p = passes();
    const int w = 320, h = 180;
    const float beats = 2.5f;
    struct Case {
        Effects::PostProc* pass;
        Uniforms uniforms;
    };
    const Case cases[] = {
        {&p["Blur"], {{"Scale", {2.5f * 0.001f}}, {"Iterations", {3.0f}}}},
        {&p["Fade"], {{"color", {0.0f, 0.0f}}}},
        // Without grain and scanlines the colour-only program draws: it has
        // neither, nor the grain's clock.
        {&p["Film"],
         {{"Color", {1.0f}}, {"Monochrome", {0.0f}}, {"BrownSepia", {0.0f}}, {"GreenSepia", {0.0f}},
          {"BlueSepia", {0.0f}}, {"Contrast", {1.0f}}, {"Brightness", {0.0f}}}},
        {&p["Kaleidoscope"], {{"Rotation", {0.0f}}, {"Divisions", {7.0f}}}},
        {&p["K2"], {{"Rotation", {0.0f}}, {"Divisions", {7.0f}}}},
        {&p["Noise"], {{"Alpha", {0.5f}}, {"Time", {0.0f}}}},
        {&p["Radblur"], {{"RadialBlurParams", {0.5f, 0.5f, 0.9f, 1.0f}}}},
        {&p["Subdiv"], {{"N", {2.0f, 2.0f}}, {"Off", {0.0f, 0.0f}}, {"Rot", {0.0f}}, {"RotOff", {0.5f, 0.5f}}}},
        // With the band off the plain tape's program draws: it has no band.
        {&p["VHS"], {{"Alpha", {0.5f}}, {"iTime", {0.0f}}}},
    };
    for (const Case& c : cases) {
        glUseProgram(0);
        c.pass->render(w, h, beats);
        expect_uniforms(*c.pass, c.uniforms);
    }
    // Dither's block count: (1 - 0.85 * 0.5)^3 = 0.19011 of the render size.
    p["Dither"].render(w, h, beats);
    const std::vector<float> blocks = uniform("blocks", 2);
    EXPECT_NEAR(blocks[0], 0.190109f * w, 1e-3f);
    EXPECT_NEAR(blocks[1], 0.190109f * h, 1e-3f);
}

TEST_F(PostProcUniformsTest, ParametersTurnIntoUniformsByEachPassRule) {
    Passes& p = passes();
    struct Case {
        const char* what;
        Effects::PostProc* pass;
        std::vector<std::pair<int, float>> params;
        int width, height;
        float beats;
        Uniforms uniforms;
    };
    const Case cases[] = {
        {"fade to black", &p["Fade"], {{0, -0.5f}}, 64, 64, 0, {{"color", {0.0f, 0.5f}}}},
        {"fade to white", &p["Fade"], {{0, 0.25f}}, 64, 64, 0, {{"color", {1.0f, 0.25f}}}},
        {"fade full black", &p["Fade"], {{0, -1.0f}}, 64, 64, 0, {{"color", {0.0f, 1.0f}}}},
        {"film contrast -1 and time 0", &p["Film"], {{5, -1.0f}, {6, 0.25f}, {8, 0.75f}}, 64, 64, 0,
         {{"Contrast", {0.0f}}, {"time", {999.9953f}}, {"Brightness", {0.25f}}, {"ScanlineAmount", {0.75f}}}},
        {"film every word", &p["Film"],
         {{0, 0.1f}, {1, 0.2f}, {2, 0.3f}, {3, 0.4f}, {4, 0.5f}, {5, 0.6f}, {6, 0.7f}, {7, 0.8f}, {8, 0.9f}},
         64, 64, -4.0f,
         {{"Color", {0.1f}}, {"Monochrome", {0.2f}}, {"BrownSepia", {0.3f}}, {"GreenSepia", {0.4f}},
          {"BlueSepia", {0.5f}}, {"Contrast", {1.6f}}, {"Brightness", {0.7f}}, {"FilmgrainAmount", {0.8f}},
          {"ScanlineAmount", {0.9f}}, {"time", {-4.0f + 999.9953f}}}},
        {"blur", &p["Blur"], {{0, 10.0f}, {1, 5.0f}}, 64, 64, 7, {{"Scale", {0.01f}}, {"Iterations", {5.0f}}}},
        {"noise time is the parameter", &p["Noise"], {{0, 0.25f}, {1, 3.5f}}, 64, 64, 99,
         {{"Alpha", {0.25f}}, {"Time", {3.5f}}}},
        {"vhs", &p["VHS"], {{0, 1.0f}, {1, 2.0f}, {2, 1.0f}}, 64, 64, 99,
         {{"Alpha", {1.0f}}, {"iTime", {2.0f}}, {"BandOn", {1.0f}}}},
        {"radblur", &p["Radblur"], {{0, 0.25f}, {1, 0.75f}, {2, 0.5f}, {3, 0.0f}}, 64, 64, 0,
         {{"RadialBlurParams", {0.25f, 0.75f, 0.5f, 0.0f}}}},
        {"subdiv", &p["Subdiv"], {{0, 3}, {1, 4}, {2, 0.1f}, {3, 0.2f}, {4, 1.5f}, {5, 0.3f}, {6, 0.4f}}, 64, 64, 0,
         {{"N", {3, 4}}, {"Off", {0.1f, 0.2f}}, {"Rot", {1.5f}}, {"RotOff", {0.3f, 0.4f}}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const auto& param : c.params) c.pass->set_param(param.first, param.second);
        c.pass->render(c.width, c.height, c.beats);
        expect_uniforms(*c.pass, c.uniforms);
    }
}

TEST_F(PostProcUniformsTest, DitherBlocksShrinkWithTheCubeOfTheFactor) {
    Effects::PostProc& dither = passes()["Dither"];
    struct Case {
        float factor;
        int width, height;
        double k;  // (1 - 0.85 factor)^3
    };
    const Case cases[] = {{0.0f, 320, 180, 1.0}, {0.5f, 320, 180, 0.575 * 0.575 * 0.575},
                          {1.0f, 1000, 2000, 0.003375}, {2.0f, 10, 30, -0.343}};
    for (const Case& c : cases) {
        dither.set_param(0, c.factor);
        dither.render(c.width, c.height, 0);
        const std::vector<float> blocks = uniform("blocks", 2);
        EXPECT_NEAR(blocks[0], c.k * c.width, 1e-5 * c.width) << c.factor;
        EXPECT_NEAR(blocks[1], c.k * c.height, 1e-5 * c.height) << c.factor;
        if (c.factor == 0.0f) {
            EXPECT_EQ(blocks, (std::vector<float>{320.0f, 180.0f}));
        }
    }
    expect_uniforms(dither, {});
}

TEST_F(PostProcUniformsTest, EachFilmParameterDrivesTheUniformOfItsWord) {
    // Film reads its parameters by name: the row's order and the pass's
    // names of them must agree.
    const PassInfo& row = *find_pass("Film");
    for (size_t i = 0; i < row.params.size(); ++i) {
        SCOPED_TRACE(row.params[i].word);
        Effects::PostProc& film = passes()["Film"];
        film.set_param(static_cast<int>(i), 0.25f);
        film.render(64, 64, 0.0f);
        const float expected = std::string(row.params[i].word) == "Contrast" ? 1.25f : 0.25f;
        EXPECT_EQ(uniform(row.params[i].word, 1), std::vector<float>{expected});
    }
}

TEST_F(PostProcUniformsTest, FilmTimeIsShiftedExactly) {
    Effects::PostProc& film = passes()["Film"];
    film.set_param(Effects::Film::FilmgrainAmount, 0.5f);  // the clock seeds the grain
    film.render(64, 64, 0.0f);
    EXPECT_EQ(uniform("time", 1), std::vector<float>{999.9953f});
    film.render(64, 64, 16.0f);
    EXPECT_EQ(uniform("time", 1), std::vector<float>{16.0f + 999.9953f});
}

TEST_F(PostProcUniformsTest, KaleidoscopeAndK2RunTheSameShadersInProgramsOfTheirOwn) {
    Passes& p = passes();
    p["Kaleidoscope"].set_param(0, 0.5f);
    p["K2"].set_param(0, -1.0f);
    p["K2"].set_param(1, 3.0f);
    GLint first = 0, second = 0;
    p["Kaleidoscope"].render(64, 64, 0);
    glGetIntegerv(GL_CURRENT_PROGRAM, &first);
    p["K2"].render(64, 64, 0);
    glGetIntegerv(GL_CURRENT_PROGRAM, &second);
    EXPECT_NE(first, second);
    expect_uniforms(p["K2"], {{"Rotation", {-1.0f}}, {"Divisions", {3.0f}}});
    p["Kaleidoscope"].render(64, 64, 0);
    expect_uniforms(p["Kaleidoscope"], {{"Rotation", {0.5f}}, {"Divisions", {7.0f}}});
}

TEST_F(PostProcUniformsTest, RadblurMakesTheCurrentColourOpaqueWhite) {
    glColor4f(0.2f, 0.3f, 0.4f, 0.5f);
    passes()["Radblur"].render(64, 64, 0);
    float colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(std::vector<float>(colour, colour + 4), (std::vector<float>{1, 1, 1, 1}));
}

TEST_F(PostProcUniformsTest, BlurDeletesItsProgramEvenThroughTheBaseClass) {
    test_support::ScopedChdir in(test_support::source_path(""));
    const PassInfo& row = *find_pass("Blur");
    std::unique_ptr<Effects::PostProc> blur(row.make(row));
    blur->render(64, 64, 0);
    GLint current = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    const GLuint program = static_cast<GLuint>(current);
    EXPECT_TRUE(glIsProgram(program));
    glUseProgram(0);
    blur.reset();
    EXPECT_FALSE(glIsProgram(program));
}

}  // namespace
