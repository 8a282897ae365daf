// Textures and cube maps loaded from PNG, JPEG and BMP files.
#include <filesystem>

#include "support/gl_context.h"
#include "support/test_support.h"
#include "util/data/data.h"
#include "util/easydraw/easydraw.h"
#include "util/gl_draw_helpers.h"
#include "util/texture/picture_files.h"
#include "util/texture/texture.h"
#include "util/texture/texturecube.h"

namespace {

using picture_files::Bytes;
using picture_files::Picture;
using test_support::recorded_boxes;

class TextureLoadTest : public test_support::GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        test_support::clear_boxes();
        DataFile::set_mode(DataFileMode::Plain);
        std::filesystem::create_directories(dir.file("data"));
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glActiveTexture(GL_TEXTURE0);
        glClearColor(0, 0, 0, 0);
    }

    std::string path(const std::string& name) const { return dir.file(name); }

    test_support::TempDir dir;
};

// 8 x 8 pixels, every one different, alpha varying.
Picture test_picture() {
    Picture picture{8, 8, {}};
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            picture.rgba.insert(picture.rgba.end(),
                                {static_cast<uint8_t>(x * 32), static_cast<uint8_t>(y * 32),
                                 static_cast<uint8_t>(255 - x * 16 - y * 8),
                                 static_cast<uint8_t>(255 - y * 4)});
    return picture;
}

// The texture drawn over an 8 x 8 target through the default shader must
// show the picture upright: the target's top row is the picture's top row.
void expect_drawn_upright(Texture& texture, const Picture& expected) {
    FBO target(8, 8, FBO_TYPE_RGBA8, 0);
    target.push(true);
    Texture::use_default_shader();
    texture.draw(0, 0, 1, 1);
    EXPECT_NO_GL_ERROR();
    const auto pixels = test_support::read_pixels(0, 0, 8, 8);  // bottom row first
    target.pop();
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const uint8_t* want = expected.at(x, 7 - y);
            const unsigned char* got = &pixels[(static_cast<size_t>(y) * 8 + x) * 4];
            ASSERT_EQ(std::vector<int>(got, got + 4), std::vector<int>(want, want + 4))
                << "pixel " << x << "," << y << " from the bottom";
        }
}

TEST_F(TextureLoadTest, PngJpegAndBmpDrawUprightWithExactPixels) {
    const Picture picture = test_picture();
    picture_files::write_png(path("data/picture.png"), picture);
    const Bytes jpeg = picture_files::encode_jpeg(picture);
    picture_files::write_file(path("data/picture.jpg"), jpeg);
    picture_files::write_file(path("data/picture.JPEG"), jpeg);
    picture_files::write_file(path("data/picture.bmp"), picture_files::encode_bmp(picture));
    test_support::ScopedChdir in(dir.path());

    const struct {
        const char* name;
        Picture expected;
    } cases[] = {
        {"data/picture.png", picture},
        {"data/picture.jpg", picture_files::decode_jpeg(jpeg)},
        {"data/picture.JPEG", picture_files::decode_jpeg(jpeg)},
        {"data/picture.bmp", picture_files::opaque(picture)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Texture texture(c.name, false, false, GL_NEAREST, GL_NEAREST);
        EXPECT_NO_GL_ERROR();
        EXPECT_EQ(texture.get_width(), 8u);
        EXPECT_EQ(texture.get_height(), 8u);
        expect_drawn_upright(texture, c.expected);
    }
    EXPECT_TRUE(recorded_boxes().empty());
}

TEST_F(TextureLoadTest, MipmappedRepeatingLoad) {
    picture_files::write_png(path("data/upper.PNG"), test_picture());
    test_support::ScopedChdir in(dir.path());
    Texture texture("data/upper.PNG", true, true);
    EXPECT_NO_GL_ERROR();
    glBindTexture(GL_TEXTURE_2D, texture.get_id());
    GLint min = 0, wrap = 0, level3 = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &min);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrap);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 3, GL_TEXTURE_WIDTH, &level3);
    EXPECT_EQ(min, GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_EQ(wrap, GL_REPEAT);
    EXPECT_EQ(level3, 1);  // the whole chain was built
    EXPECT_FATAL(texture.load("data/upper.PNG", false, false, GL_LINEAR, GL_LINEAR),
                 "Attempt to create an already initialized texture!");
    EXPECT_NO_GL_ERROR();
}

TEST_F(TextureLoadTest, NamesThatLoadNothingOrAreRefused) {
    test_support::ScopedChdir in(dir.path());
    Texture empty;
    EXPECT_TRUE(empty.load("", true, true, GL_LINEAR, GL_LINEAR));
    EXPECT_EQ(empty.get_id(), 0u);

    const struct {
        const char* name;
        const char* shown;
    } unsupported[] = {{"data/a.tga", ".tga"}, {"data/b.GIF", ".gif"}, {"a.b", "a.b"}, {"x", "x"}};
    for (const auto& c : unsupported) {
        test_support::clear_boxes();
        Texture texture;
        EXPECT_FATAL(texture.load(c.name, false, false, GL_LINEAR, GL_LINEAR),
                     std::string("Failed to load texture ") + c.name);
        ASSERT_EQ(recorded_boxes().size(), 1u);
        EXPECT_EQ(recorded_boxes()[0].caption, "Unsupported image format!");
        EXPECT_EQ(recorded_boxes()[0].text, std::string("Sorry, image format ") + c.shown +
                                                " is not yet supported.\nTry .tga or .png.");
    }
    EXPECT_NO_GL_ERROR();
}

TEST_F(TextureLoadTest, UnreadableAndRefusedFiles) {
    picture_files::write_png_rgb16(path("data/deep.png"), 2, 2);
    picture_files::write_file(path("data/notpng.png"), Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9});
    test_support::ScopedChdir in(dir.path());
    Texture a, b, c, d, e;
    EXPECT_FATAL_CONTAINS(a.load("data/none.png", false, false, GL_LINEAR, GL_LINEAR),
                          "src\\util\\texture\\png_loader:");
    // The name and the reason, as every reader says them.
    EXPECT_FATAL_CONTAINS(a.load("data/none.png", false, false, GL_LINEAR, GL_LINEAR),
                          ": Failed to open/decode data/none.png!: No such file or directory\n");
    EXPECT_FATAL_CONTAINS(b.load("data/notpng.png", false, false, GL_LINEAR, GL_LINEAR),
                          ": Failed to open/decode data/notpng.png!: no PNG signature\n");
    EXPECT_FATAL(c.load("data/none.jpg", false, false, GL_LINEAR, GL_LINEAR),
                 "Failed reading data/none.jpg: No such file or directory\n");
    EXPECT_FATAL(d.load("data/none.bmp", false, false, GL_LINEAR, GL_LINEAR),
                 "Failed reading data/none.bmp, error code 1: No such file or directory\n");
    EXPECT_TRUE(recorded_boxes().empty());

    // A 16-bit picture decodes but is not taken: a console line, the box,
    // then the end of the run.
    testing::internal::CaptureStdout();
    EXPECT_FATAL(e.load("data/deep.png", false, false, GL_LINEAR, GL_LINEAR),
                 "Failed to load texture data/deep.png: bit depth 16 is not taken");
    const std::string log = testing::internal::GetCapturedStdout();
    EXPECT_NE(log.find("Dimensions 2x2, bpp 64\n"), std::string::npos) << log;
    ASSERT_EQ(recorded_boxes().size(), 1u);
    EXPECT_EQ(recorded_boxes()[0].text, "Invalid texture information");
    EXPECT_EQ(recorded_boxes()[0].caption.rfind("ERROR at src\\util\\texture\\png_loader:", 0), 0u);
    EXPECT_EQ(e.get_id(), 0u);
    EXPECT_NO_GL_ERROR();
}

// A picture within the largest side can still cost gigabytes to decode
// (16000 x 16000 JPEG: 4 GB): every reader refuses one of too many pixels
// by the size its header states, before it allocates anything for it, and
// says so. The files are a few bytes with a header that claims the size.
TEST_F(TextureLoadTest, PicturesOfTooManyPixelsAreRefusedFromTheirHeaders) {
    const Bytes small_jpeg = picture_files::encode_jpeg(picture_files::solid(16, 16, 200, 10, 10));
    auto png_claiming = [](uint32_t width, uint32_t height) {
        Bytes file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
        for (uint32_t v : {width, height})
            for (int shift = 24; shift >= 0; shift -= 8) file.push_back(static_cast<uint8_t>(v >> shift));
        file.insert(file.end(), {8, 6, 0, 0, 0, 0, 0, 0, 0});  // RGBA, 8 bits; a CRC we do not check
        file.insert(file.end(), {0, 0, 0, 0, 'I', 'E', 'N', 'D', 0, 0, 0, 0});
        return file;
    };
    auto bmp_claiming = [](uint32_t width, uint32_t height) {
        Bytes file = picture_files::encode_bmp(picture_files::solid(2, 2, 1, 2, 3));
        for (int i = 0; i < 4; ++i) {
            file[18 + i] = static_cast<uint8_t>(width >> (8 * i));
            file[22 + i] = static_cast<uint8_t>(height >> (8 * i));
        }
        return file;
    };
    const struct {
        const char* name;
        Bytes file;
        std::string message;
    } cases[] = {
        {"data/big.jpg", picture_files::jpeg_claiming(small_jpeg, 4097, 4097),
         "Failed reading data/big.jpg: picture of 4097x4097 is too large\n"},
        {"data/long.jpg", picture_files::jpeg_claiming(small_jpeg, 16384, 1025),
         "Failed reading data/long.jpg: picture of 16384x1025 is too large\n"},
        {"data/huge.jpg", picture_files::jpeg_claiming(small_jpeg, 16000, 16000),
         "Failed reading data/huge.jpg: picture of 16000x16000 is too large\n"},
        {"data/big.png", png_claiming(4097, 4097),
         "Failed to load texture data/big.png: picture of 4097x4097 is too large"},
        {"data/long.png", png_claiming(1025, 16384),
         "Failed to load texture data/long.png: picture of 1025x16384 is too large"},
        {"data/big.bmp", bmp_claiming(4097, 4097),
         "Failed reading data/big.bmp, error code 2: picture of 4097x4097 is too large\n"},
        {"data/long.bmp", bmp_claiming(16384, 1025),
         "Failed reading data/long.bmp, error code 2: picture of 16384x1025 is too large\n"},
    };
    for (const auto& c : cases) picture_files::write_file(path(c.name), c.file);
    test_support::ScopedChdir in(dir.path());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_LT(c.file.size(), 2000u);
        Texture texture;
        EXPECT_FATAL(texture.load(c.name, false, false, GL_LINEAR, GL_LINEAR), c.message);
        EXPECT_EQ(texture.get_id(), 0u);
    }
    // The largest pictures the productions show (1280 x 720) are far inside.
    const Picture wide = picture_files::solid(1280, 720, 30, 60, 90);
    picture_files::write_file(path("data/wide.jpg"), picture_files::encode_jpeg(wide));
    Texture texture;
    ASSERT_TRUE(texture.load("data/wide.jpg", false, false, GL_LINEAR, GL_LINEAR));
    EXPECT_EQ(texture.get_width(), 1280u);
    EXPECT_NO_GL_ERROR();
}

TEST_F(TextureLoadTest, PngFromMemory) {
    const Picture picture = test_picture();
    picture_files::write_png(path("memory.png"), picture);
    std::ifstream in(path("memory.png"), std::ios::binary);
    const Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());

    Texture texture;
    EXPECT_TRUE(texture.load_png_buffer(bytes.data(), static_cast<int32_t>(bytes.size()), false, false,
                                        GL_NEAREST, GL_NEAREST));
    expect_drawn_upright(texture, picture);

    Texture a, b, c;
    EXPECT_FATAL(a.load_png_buffer(nullptr, 10, false, false, GL_NEAREST, GL_NEAREST), "buffer is NULL");
    EXPECT_FATAL(b.load_png_buffer(bytes.data(), 0, false, false, GL_NEAREST, GL_NEAREST),
                 "Failed assert size > 0");
    EXPECT_FATAL_CONTAINS(c.load_png_buffer(bytes.data() + 1, 5, false, false, GL_NEAREST, GL_NEAREST),
                          ": Failed to open/decode png buffer of size 5!: no PNG signature\n");
    EXPECT_NO_GL_ERROR();
}

// The colour a cube map shows in a direction.
std::vector<int> sample_cube(TextureCube& cube, float x, float y, float z) {
    static ShaderProgram* program = [] {
        auto builder = std::make_unique<ShaderConstructor>("TestCubeSample", "#version 420");
        builder->add_vert_global("uniform mat4 ProjectionMatrix;");
        builder->add_vert_global("layout (location = 0) in vec2 Position;");
        builder->add_vert_body("\tgl_Position = ProjectionMatrix * vec4( Position, 0.0, 1.0 );");
        builder->add_frag_global("uniform samplerCube Cube;");
        builder->add_frag_global("uniform vec3 Direction;");
        builder->add_frag_global("out vec4 FragColor;");
        builder->add_frag_body("\tFragColor = textureLod( Cube, Direction, 0.0 );");
        return gl_draw_helpers::program_from(std::move(builder));
    }();
    FBO target(1, 1, FBO_TYPE_RGBA8, 0);
    target.push(true);
    program->bind();
    program->set_uniform_matrix4fv("ProjectionMatrix", gl_draw_helpers::unit_square_projection(), 1,
                                   false);
    program->set_uniform1i("Cube", 2);
    program->set_uniform3f("Direction", x, y, z);
    cube.bind(2);
    easydraw_quad(0, 0, 1, 1);
    auto colour = gl_draw_helpers::pixel(0, 0);
    target.pop();
    glActiveTexture(GL_TEXTURE0);
    return colour;
}

TEST_F(TextureLoadTest, CubeMapFacesLandOnTheirAxes) {
    // Each face one colour, except +X: red top half, green bottom half.
    Picture posx = picture_files::solid(8, 8, 255, 0, 0);
    for (int y = 4; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            uint8_t* p = &posx.rgba[(static_cast<size_t>(y) * 8 + x) * 4];
            p[0] = 0;
            p[1] = 255;
        }
    const Bytes negz_jpeg = picture_files::encode_jpeg(picture_files::solid(8, 8, 255, 255, 255));
    picture_files::write_png(path("data/sky_negx.png"), picture_files::solid(8, 8, 0, 0, 255));
    picture_files::write_png(path("data/sky_posx.png"), posx);
    picture_files::write_file(path("data/sky_negy.bmp"),
                              picture_files::encode_bmp(picture_files::solid(8, 8, 255, 255, 0)));
    picture_files::write_png(path("data/sky_posy.png"), picture_files::solid(8, 8, 0, 255, 255));
    picture_files::write_file(path("data/sky_negz.jpg"), negz_jpeg);
    picture_files::write_png(path("data/sky_posz.png"), picture_files::solid(8, 8, 255, 0, 255));
    test_support::ScopedChdir in(dir.path());

    TextureCube cube;
    ASSERT_TRUE(cube.load("data/sky_negx.png", "data/sky_posx.png", "data/sky_negy.bmp",
                          "data/sky_posy.png", "data/sky_negz.jpg", "data/sky_posz.png"));
    EXPECT_NO_GL_ERROR();
    EXPECT_EQ(cube.get_width(), 8u);
    const Picture negz = picture_files::decode_jpeg(negz_jpeg);

    const struct {
        float x, y, z;
        std::vector<int> colour;
    } cases[] = {
        {-1, 0, 0, {0, 0, 255, 255}},
        {1, 0.5f, 0, {255, 0, 0, 255}},   // +X, looking up: the picture's top
        {1, -0.5f, 0, {0, 255, 0, 255}},  // +X, looking down: its bottom
        {0, -1, 0, {255, 255, 0, 255}},
        {0, 1, 0, {0, 255, 255, 255}},
        {0, 0, -1, {negz.at(4, 4)[0], negz.at(4, 4)[1], negz.at(4, 4)[2], 255}},
        {0, 0, 1, {255, 0, 255, 255}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(sample_cube(cube, c.x, c.y, c.z), c.colour) << c.x << " " << c.y << " " << c.z;

    glBindTexture(GL_TEXTURE_CUBE_MAP, cube.get_id());
    GLint min = 0;
    glGetTexParameteriv(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MIN_FILTER, &min);
    EXPECT_EQ(min, GL_LINEAR_MIPMAP_LINEAR);
    // No anisotropic sampling: on llvmpipe it draws the cube's edges dotted.
    GLfloat anisotropy = 0.0f;
    glGetTexParameterfv(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MAX_ANISOTROPY_EXT, &anisotropy);
    EXPECT_EQ(anisotropy, 1.0f);
    EXPECT_FATAL(cube.create(), "Attempt to create an already initialized texture!");

    TextureCube::unbind(3);
    GLint active = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    EXPECT_EQ(active, GL_TEXTURE3);
    glActiveTexture(GL_TEXTURE0);
    EXPECT_NO_GL_ERROR();
}

TEST_F(TextureLoadTest, CubeMapFacesMustMatchAndHaveNames) {
    const Picture square = picture_files::solid(8, 8, 1, 2, 3);
    picture_files::write_png(path("data/square.png"), square);
    picture_files::write_png(path("data/short.png"), picture_files::solid(8, 4, 1, 2, 3));
    picture_files::write_png(path("data/narrow.png"), picture_files::solid(4, 8, 1, 2, 3));
    test_support::ScopedChdir in(dir.path());
    const std::string s = "data/square.png";
    {
        TextureCube cube;
        EXPECT_FATAL(cube.load(s, s, s, "data/short.png", s, s),
                     "Failed assert height == tex_array[i].get_height()");
    }
    {
        TextureCube cube;
        EXPECT_FATAL(cube.load(s, s, s, s, "data/narrow.png", s),
                     "Failed assert width == tex_array[i].get_width()");
    }
    {
        TextureCube cube;
        EXPECT_FATAL(cube.load(s, s, "", s, s, s), "Failed to load texture ");
    }
    EXPECT_NO_GL_ERROR();
}

}  // namespace
