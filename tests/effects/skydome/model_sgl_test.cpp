// The SGL model reader and its transforms, without GL: what it accepts, what
// it refuses and why, and the in-place operations on the positions.
#include <cmath>
#include <cstring>
#include <fstream>
#include <limits>

#include "effects/skydome/model_sgl.h"
#include "support/test_support.h"
#include "util/data/data.h"

namespace {

constexpr int32_t kTriangles = 4;

std::string sgl_bytes(int32_t count, int32_t format, int32_t primitive, const std::vector<float>& floats) {
    std::string bytes(12 + floats.size() * 4, '\0');
    const int32_t header[3] = {count, format, primitive};
    std::memcpy(&bytes[0], header, 12);  // the test machine is little-endian, like the file
    if (!floats.empty()) std::memcpy(&bytes[12], floats.data(), floats.size() * 4);
    return bytes;
}

// n vertices of the format whose every float is its own index, so each can
// be told apart.
std::vector<float> numbered(int32_t format, int n) {
    std::vector<float> v(static_cast<size_t>(sgl_layout(format)->stride) * n);
    for (size_t i = 0; i < v.size(); ++i) v[i] = static_cast<float>(i);
    return v;
}

std::string parse(const std::string& bytes, SglContents& out) {
    return parse_sgl(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), out);
}

class SglFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        DataFile::reset();
        in = std::make_unique<test_support::ScopedChdir>(work.path());
    }
    void TearDown() override {
        in.reset();
        DataFile::reset();
    }
    void write(const std::string& name, const std::string& bytes) {
        std::ofstream(work.file(name), std::ios::binary) << bytes;
    }
    test_support::TempDir work;
    std::unique_ptr<test_support::ScopedChdir> in;
};

TEST(SglReader, AcceptsEachFormatWithItsStrideAndIgnoresTrailingBytes) {
    const struct {
        int32_t format;
        int32_t stride, position;
    } cases[] = {{SGL_V3F, 3, 0}, {SGL_N3F_V3F, 6, 3}, {SGL_T2F_N3F_V3F, 8, 5}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.format);
        ASSERT_NE(sgl_layout(c.format), nullptr);
        EXPECT_EQ(sgl_layout(c.format)->stride, c.stride);
        EXPECT_EQ(sgl_layout(c.format)->position, c.position);
        SglContents out;
        EXPECT_EQ(parse(sgl_bytes(3, c.format, kTriangles, numbered(c.format, 3)) + "tail", out), "");
        EXPECT_EQ(out.vertex_count, 3);
        EXPECT_EQ(out.format, c.format);
        EXPECT_EQ(out.primitive, kTriangles);
        EXPECT_EQ(out.data, numbered(c.format, 3));
    }
}

TEST(SglReader, RefusesBadFilesSayingWhy) {
    const std::string good = sgl_bytes(3, SGL_N3F_V3F, kTriangles, numbered(SGL_N3F_V3F, 3));
    std::vector<float> nan_position = numbered(SGL_V3F, 3);
    nan_position[7] = std::numeric_limits<float>::quiet_NaN();
    std::vector<float> infinite_normal = numbered(SGL_N3F_V3F, 1);
    infinite_normal[1] = std::numeric_limits<float>::infinity();
    const struct {
        const char* name;
        std::string bytes;
        const char* why;
    } cases[] = {
        {"empty", "", "it is 0 bytes long, shorter than the 12-byte header"},
        {"half a header", good.substr(0, 8), "it is 8 bytes long, shorter than the 12-byte header"},
        {"one byte of vertex data short (12 + 71 bytes)", good.substr(0, 83),
         "its header asks for 3 vertices of 24 bytes (72 bytes) but it holds 71 bytes of vertex data"},
        {"no vertex count", sgl_bytes(0, SGL_V3F, kTriangles, {}),
         "its header holds vertex count 0, format 10785 and primitive 4, and all three must be above 0"},
        {"negative count", sgl_bytes(-3, SGL_V3F, kTriangles, numbered(SGL_V3F, 3)),
         "its header holds vertex count -3, format 10785 and primitive 4, and all three must be above 0"},
        {"points (primitive 0)", sgl_bytes(3, SGL_V3F, 0, numbered(SGL_V3F, 3)),
         "its header holds vertex count 3, format 10785 and primitive 0, and all three must be above 0"},
        {"another interleaved format", sgl_bytes(3, 0x2A27, kTriangles, numbered(SGL_V3F, 3)),
         "its vertex format 0x2A27 is not GL_V3F, GL_N3F_V3F or GL_T2F_N3F_V3F"},
        {"a primitive GL does not know", sgl_bytes(3, SGL_V3F, 0x1234, numbered(SGL_V3F, 3)),
         "its primitive 0x1234 is not a GL primitive mode"},
        // 0x10000001 x 32 bytes wraps to 32 in 32 bits, which these 64 bytes
        // would have passed.
        {"a count whose size wraps in 32 bits", sgl_bytes(0x10000001, SGL_T2F_N3F_V3F, kTriangles, numbered(SGL_T2F_N3F_V3F, 2)),
         "its header asks for 268435457 vertices of 32 bytes (8589934624 bytes) but it holds 64 bytes of vertex data"},
        {"the largest count", sgl_bytes(0x7FFFFFFF, SGL_V3F, kTriangles, numbered(SGL_V3F, 3)),
         "its header asks for 2147483647 vertices of 12 bytes (25769803764 bytes) but it holds 36 bytes of vertex data"},
        {"a position that is not a number", sgl_bytes(3, SGL_V3F, kTriangles, nan_position),
         "value 1 of vertex 2 is not a finite number"},
        {"an infinite normal", sgl_bytes(1, SGL_N3F_V3F, kTriangles, infinite_normal),
         "value 1 of vertex 0 is not a finite number"},
    };
    for (const auto& c : cases) {
        SglContents out;
        EXPECT_EQ(parse(c.bytes, out), c.why) << c.name;
        EXPECT_TRUE(out.data.empty()) << c.name;
    }
}

TEST_F(SglFileTest, ALoadedFileGivesItsHeaderAndDataAndARefusedOneAnEmptyModel) {
    write("good.sgl", sgl_bytes(3, SGL_N3F_V3F, kTriangles, numbered(SGL_N3F_V3F, 3)));
    write("short.sgl", sgl_bytes(3, SGL_N3F_V3F, kTriangles, numbered(SGL_N3F_V3F, 3)).substr(0, 83));
    write("format.sgl", sgl_bytes(3, 0x2A27, kTriangles, numbered(SGL_V3F, 3)));
    SglModel model;
    model.load("good.sgl");
    EXPECT_FALSE(model.empty());
    EXPECT_EQ(model.get_refusal(), "");
    EXPECT_EQ(model.get_vertex_count(), 3);
    EXPECT_EQ(model.get_data(), numbered(SGL_N3F_V3F, 3));

    // Truncated vertex data clears everything.
    model.load("short.sgl");
    EXPECT_TRUE(model.empty());
    EXPECT_EQ(model.get_vertex_count(), 0);
    EXPECT_EQ(model.get_format(), 0);
    EXPECT_NE(model.get_refusal().find("holds 71 bytes of vertex data"), std::string::npos);
    float x = 7, y = 7, z = 7;
    model.get_size(x, y, z);
    EXPECT_EQ(x + y + z, 0.0f);
    model.get_center(x, y, z);
    EXPECT_EQ(x + y + z, 0.0f) << "left untouched";

    // Another format keeps the header as read, with no data to act on.
    model.load("format.sgl");
    EXPECT_TRUE(model.empty());
    EXPECT_EQ(model.get_vertex_count(), 3);
    EXPECT_EQ(model.get_format(), 0x2A27);
    model.translate(1, 1, 1);
    model.normalize();
    EXPECT_TRUE(model.get_data().empty());
}

TEST_F(SglFileTest, AMissingFileEndsTheRun) {
    SglModel model;
    EXPECT_FATAL(model.load("data/effects/skydome/none.sgl"), "Failed to load file data/effects/skydome/none.sgl");
}

SglModel model_of(int32_t format, const std::vector<float>& floats) {
    SglContents c;
    c.format = format;
    c.vertex_count = static_cast<int32_t>(floats.size() / sgl_layout(format)->stride);
    c.primitive = kTriangles;
    c.data = floats;
    SglModel model;
    model.assign(std::move(c));
    return model;
}

TEST(SglModelTransforms, TranslateTouchesOnlyThePositionOfEachVertex) {
    SglModel model = model_of(SGL_T2F_N3F_V3F, numbered(SGL_T2F_N3F_V3F, 3));
    model.translate(1, 0, 0);
    std::vector<float> expected = numbered(SGL_T2F_N3F_V3F, 3);
    for (int v = 0; v < 3; ++v) expected[v * 8 + 5] += 1;  // byte 20 of each 32-byte vertex
    EXPECT_EQ(model.get_data(), expected);
    model.scale(2);
    for (int v = 0; v < 3; ++v)
        for (int a = 5; a < 8; ++a) expected[v * 8 + a] *= 2;
    EXPECT_EQ(model.get_data(), expected);
}

TEST(SglModelTransforms, NormalizeCentresAndScalesByTheLargestExtent) {
    // x -2..2, y 0..1, z -1..1: extent 4, scale 0.5 about (0, 0.5, 0).
    SglModel model = model_of(SGL_V3F, {-2, 0, -1, 2, 1, 1, 0, 0.5f, 0});
    float x, y, z;
    model.get_center(x, y, z);
    EXPECT_EQ(std::vector<float>({x, y, z}), std::vector<float>({0, 0.5f, 0}));
    model.get_size(x, y, z);
    EXPECT_EQ(std::vector<float>({x, y, z}), std::vector<float>({4, 1, 2}));
    model.normalize();
    EXPECT_EQ(model.get_data(), std::vector<float>({-1, -0.25f, -0.5f, 1, 0.25f, 0.5f, 0, 0, 0}));

    // The size is |max| + |min|, not the span, for a box off the origin.
    SglModel off = model_of(SGL_V3F, {1, 2, 3, 3, 2, 3});
    off.get_size(x, y, z);
    EXPECT_EQ(std::vector<float>({x, y, z}), std::vector<float>({4, 4, 6}));
}

TEST(SglModelTransforms, NormalizingOnePointOnlyCentresIt) {
    // The last: an extent of 1e-44 would scale by 2e44, past the largest float.
    for (const std::vector<float>& floats : {std::vector<float>{5, 5, 5}, std::vector<float>{0, 0, 0, 0, 0, 0},
                                             std::vector<float>{0, 0, 0, 0, 1e-44f, 0}}) {
        SglModel model = model_of(SGL_V3F, floats);
        model.normalize();
        for (float f : model.get_data()) EXPECT_NEAR(f, 0.0f, 1e-40f);
    }
}

}  // namespace
