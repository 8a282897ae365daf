// The shader gallery on a real context: every program builds, uses the
// gallery's uniforms and shows its own lit, moving picture; "ShaderToyNr"
// picks the program by its keyed value, NaN and far-off values included.
#include "scenes/scene_shadertoy/shadertoy.h"

#include <GL/glew.h>

#include <cmath>
#include <string>
#include <vector>

#include "scenes/shader_scene_test.h"

namespace {

using shader_scene_test::changed_between;
using shader_scene_test::exposure_of;
using shader_scene_test::Frame;

class ShaderToyTest : public shader_scene_test::ShaderSceneTest {
protected:
    // "ShaderToyNr" holding each of `values` for ten beats, in turn.
    void key_numbers(const std::vector<float>& values) {
        std::vector<SyncKey> keys;
        for (size_t i = 0; i < values.size(); ++i)
            keys.push_back({static_cast<int32_t>(i) * 80, values[i], SyncKeyType::Step});
        write_track("ShaderToyNr", keys);
    }

    static bool has_uniform(const char* name) {
        GLint program = 0;
        glGetIntegerv(GL_CURRENT_PROGRAM, &program);
        return glGetUniformLocation(static_cast<GLuint>(program), name) >= 0;
    }
};

TEST_F(ShaderToyTest, EveryProgramShowsItsOwnLitMovingPicture) {
    const size_t count = ShaderToy::fragment_files.size();
    std::vector<float> numbers;
    for (size_t i = 0; i < count; ++i) numbers.push_back(static_cast<float>(i));
    key_numbers(numbers);
    auto gallery = made_scene<ShaderToy>();
    std::vector<Frame> pictures;
    for (size_t i = 0; i < count; ++i) {
        const std::string name = ShaderToy::fragment_files[i];
        SCOPED_TRACE(name);
        const std::string stem = name.substr(name.rfind('/') + 1, name.rfind('.') - name.rfind('/') - 1);
        // Two moments of the program's ten beats, half a beat apart.
        const float beat = 10.0f * static_cast<float>(i) + 3.25f;
        const Frame first = frame_at(*gallery, beat, "shadertoy_" + stem);
        EXPECT_EQ(gallery->get_selected_program(), i);
        EXPECT_TRUE(has_uniform("iTime"));
        EXPECT_TRUE(has_uniform("iResolution"));
        const Frame later = frame_at(*gallery, beat + 0.5f, "shadertoy_" + stem + "_later");
        for (const Frame* f : {&first, &later}) {
            EXPECT_GT(exposure_of(*f).lit, 0.08);  // the fireworks on their dark sky light the least
            EXPECT_LT(exposure_of(*f).white, 0.01);
        }
        EXPECT_GT(changed_between(first, later), 0.03);
        for (const Frame& other : pictures) EXPECT_GT(changed_between(first, other), 0.3);
        pictures.push_back(first);
    }
}

TEST_F(ShaderToyTest, TheTrackPicksTheProgramWithinTheGallery) {
    const struct {
        float value;
        uint32_t program;
    } cases[] = {
        {0.0f, 0}, {2.9f, 2}, {6.99f, 6}, {100.0f, 6}, {-0.5f, 0}, {-3.0f, 0}, {std::nanf(""), 0}, {4.0f, 4},
    };
    std::vector<float> values;
    for (const auto& c : cases) values.push_back(c.value);
    key_numbers(values);
    auto gallery = made_scene<ShaderToy>();
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].value);
        const Frame f = frame_at(*gallery, 10.0f * static_cast<float>(i) + 1.0f, "shadertoy_pick");
        EXPECT_EQ(gallery->get_selected_program(), cases[i].program);
        EXPECT_GT(exposure_of(f).lit, 0.08);
    }
}

TEST_F(ShaderToyTest, NoisePictureIsTheWholeRepeatingTexture) {
    Texture noise;
    ASSERT_TRUE(noise.load("data/scenes/shadertoy/noise.png", true, true, GL_LINEAR, GL_LINEAR));
    EXPECT_EQ(noise.get_width(), 256u);
    EXPECT_EQ(noise.get_height(), 256u);
    // Four independent channels: each spread over the whole byte range.
    std::vector<unsigned char> texels(256 * 256 * 4);
    noise.bind(0);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    Texture::unbind(0);
    noise.release();
    for (int channel = 0; channel < 4; ++channel) {
        double sum = 0;
        int low = 0, high = 0;
        for (size_t i = static_cast<size_t>(channel); i < texels.size(); i += 4) {
            sum += texels[i];
            low += texels[i] < 16;
            high += texels[i] > 239;
        }
        EXPECT_NEAR(sum / (256 * 256), 127.5, 3.0) << channel;
        EXPECT_GT(low, 3000) << channel;
        EXPECT_GT(high, 3000) << channel;
    }
    EXPECT_NO_GL_ERROR();
}

}  // namespace
