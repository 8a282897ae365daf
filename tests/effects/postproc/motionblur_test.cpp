// The motion-blur pass without GL: its generated blend program, the frame
// count it blends, and when its ring moves on.
#include <limits>
#include <string>
#include <vector>

#include "effects/postproc/motionblur.h"
#include "support/test_support.h"
#include "util/shaderprogram/shaderconstructor.h"

namespace {

using namespace Effects;

std::vector<std::string> lines(const ShaderConstructor& s, int32_t list) {
    std::vector<std::string> out;
    for (const ShaderPiece& piece : s.get_list(list)) out.push_back(piece.text);
    return out;
}

std::string history_line(int j, const char* weight) {
    return "  final_colour += texture2D( shadow" + std::to_string(j) + ", TexCoordFrag ) * " + weight + ";";
}

TEST(MotionblurProgram, BlendsEachEarlierImageWeightedOneMinusItsAgeOverN) {
    const struct {
        int frames;
        std::vector<const char*> weights;  // shadow1 (newest) first
    } cases[] = {
        {2, {"0.5"}},
        {3, {"0.67", "0.33"}},
        {4, {"0.75", "0.5", "0.25"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.frames);
        const auto s = make_motionblur_blend(c.frames);
        EXPECT_EQ(s->get_name(), "EffectsMotionblur");
        EXPECT_EQ(s->get_version(), "#version 420");
        std::vector<std::string> globals = {"uniform sampler2D image;"};
        std::vector<std::string> body = {"  vec4 final_colour = vec4( vec3( 0.0 ), 1.0 );"};
        for (int j = 1; j < c.frames; ++j) {
            globals.push_back("uniform sampler2D shadow" + std::to_string(j) + ";");
            body.push_back(history_line(j, c.weights[j - 1]));
        }
        globals.push_back("uniform vec4 MotionblurParams;");
        globals.push_back("in vec2 TexCoordFrag;");
        body.push_back("  final_colour *= MotionblurParams.y;");
        body.push_back("\tfinal_colour += texture2D( image, TexCoordFrag );");
        body.push_back("\tgl_FragColor = final_colour;");
        EXPECT_EQ(lines(*s, ShaderConstructor::frag_globals), globals);
        EXPECT_EQ(lines(*s, ShaderConstructor::frag_body), body);
        // It reads the unit-square quad's attributes, not fixed-function ones.
        const std::string vertex = s->get_vertex_source();
        EXPECT_NE(vertex.find("layout (location = 0) in vec2 Position;"), std::string::npos);
        EXPECT_NE(vertex.find("layout (location = 2) in vec2 TexCoord;"), std::string::npos);
        EXPECT_EQ(vertex.find("ftransform"), std::string::npos);
    }
}

TEST(MotionblurProgram, SixtyFourFramesEndWithTheSmallestWeight) {
    const auto s = make_motionblur_blend(64);
    const std::vector<std::string> body = lines(*s, ShaderConstructor::frag_body);
    ASSERT_EQ(body.size(), 63u + 4u);
    EXPECT_EQ(body[1], history_line(1, "0.98"));
    EXPECT_EQ(body[32], history_line(32, "0.5"));
    EXPECT_EQ(body[63], history_line(63, "0.016"));
    EXPECT_EQ(lines(*s, ShaderConstructor::frag_globals)[63], "uniform sampler2D shadow63;");
}

TEST(MotionblurProgram, TheCopyProgramSamplesTex) {
    const auto s = make_motionblur_copy();
    EXPECT_EQ(s->get_name(), "EffectsMotionblurTexrender");
    EXPECT_EQ(lines(*s, ShaderConstructor::frag_body),
              std::vector<std::string>({"\tgl_FragColor = texture2D( tex, TexCoordFrag );"}));
}

TEST(MotionblurFrames, TruncatedAndKeptWithinTwoToSixtyFourAndTheTextureUnits) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const struct {
        float frames;
        int units;
        int expected;
    } cases[] = {
        {0.0f, 32, 2},   {1.0f, 32, 2},  {1.9f, 32, 2},  {-5.0f, 32, 2}, {nan, 32, 2},
        {2.0f, 32, 2},   {3.99f, 32, 3}, {4.0f, 32, 4},  {31.0f, 32, 31}, {32.0f, 32, 32},
        // llvmpipe has 32 units: image plus 31 history images at most.
        {40.0f, 32, 32}, {100.0f, 32, 32}, {1e30f, 32, 32},
        // A driver with more units gets the full 64.
        {100.0f, 192, 64}, {64.0f, 192, 64}, {63.5f, 192, 63},
    };
    for (const auto& c : cases)
        EXPECT_EQ(motionblur_frame_count(c.frames, c.units), c.expected) << c.frames << " with " << c.units;
}

TEST(MotionblurRing, MovesOnWhenTimeRunsBackOrMoreThanTheDelayHasPassed) {
    const struct {
        float time, last, delay;
        bool advances;
    } cases[] = {
        {1.0f, 0.0f, 0.0f, true},    {0.0f, 0.0f, 0.0f, false},  // the same beat again stays
        {1.0f, 0.5f, 0.5f, false},   {1.01f, 0.5f, 0.5f, true},  // exactly the delay stays
        {0.25f, 0.5f, 10.0f, true},  // backwards always moves
        {5.0f, 4.0f, 2.0f, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(motionblur_advances(c.time, c.last, c.delay), c.advances)
            << c.time << " after " << c.last << " with delay " << c.delay;
}

TEST(MotionblurPass, IsNamedWithItsThreeParameters) {
    Motionblur pass;
    EXPECT_EQ(pass.get_name(), "Motionblur");
    EXPECT_EQ(pass.get_param_names(),
              std::vector<std::string>({"MotionblurFrames", "MotionblurStrength", "MotionblurDelay"}));
    EXPECT_FATAL(pass.set_param(3, 1.0f), "WARNING: Param index 3 for effect Motionblur is out of bounds\n");
}

}  // namespace
