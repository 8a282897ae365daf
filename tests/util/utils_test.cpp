#include "support/test_support.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "util/data/data.h"
#include "util/data/data_state.h"
#include "util/utils.h"

namespace {

using test_support::TempDir;

void write_file(const std::string& path, const std::string& contents) {
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(contents.data(), 1, contents.size(), f);
    std::fclose(f);
}

TEST(HslToRgb, PrimariesGreysAndWraps) {
    struct Case {
        vec3 hsl;
        vec3 rgb;
    } cases[] = {
        {{0, 1, 0.5f}, {1, 0, 0}},
        {{1.0f / 3, 1, 0.5f}, {0, 1, 0}},
        {{2.0f / 3, 1, 0.5f}, {0, 0, 1}},
        {{1, 1, 0.5f}, {1, 0, 0}},  // hue 1 wraps to red
        {{0.7f, 0, 0.3f}, {0.3f, 0.3f, 0.3f}},
        {{0.2f, 0, 0.3f}, {0.3f, 0.3f, 0.3f}},
        {{0.5f, 1, 0.75f}, {0.5f, 1, 1}},  // light cyan: q = l + s - l s
        {{0, 0.5f, 0.25f}, {0.375f, 0.125f, 0.125f}},
        {{0.3f, 1, 1}, {1, 1, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "hsl " << c.hsl.x << " " << c.hsl.y << " " << c.hsl.z);
        vec3 rgb = hsl_to_rgb(c.hsl);
        EXPECT_NEAR(rgb.x, c.rgb.x, 1e-5f);
        EXPECT_NEAR(rgb.y, c.rgb.y, 1e-5f);
        EXPECT_NEAR(rgb.z, c.rgb.z, 1e-5f);
        EXPECT_EQ(rgb.w, 1.0f);
    }
}

TEST(HueToRgb, OneCorrectionIntoZeroToOne) {
    const float p = 0.2f, q = 0.8f;
    EXPECT_FLOAT_EQ(hue_to_rgb(p, q, -0.25f), hue_to_rgb(p, q, 0.75f));
    EXPECT_FLOAT_EQ(hue_to_rgb(p, q, 1.5f), hue_to_rgb(p, q, 0.5f));
    EXPECT_FLOAT_EQ(hue_to_rgb(p, q, 0.1f), p + (q - p) * 6 * 0.1f);
    EXPECT_FLOAT_EQ(hue_to_rgb(p, q, 0.3f), q);
    EXPECT_FLOAT_EQ(hue_to_rgb(p, q, 0.6f), p + (q - p) * (0.6666667f - 0.6f) * 6);
    EXPECT_FLOAT_EQ(hue_to_rgb(p, q, 0.75f), p);
    // Only one correction: 2.5 becomes 1.5, which counts as past 2/3.
    EXPECT_FLOAT_EQ(hue_to_rgb(p, q, 2.5f), p);
}

TEST(ReplaceAll, Cases) {
    struct Case {
        const char* text;
        const char* from;
        const char* to;
        const char* expected;
    } cases[] = {
        {"aaa", "a", "aa", "aaaaaa"},  // the inserted text is not searched again
        {"a.b.c", ".", "", "abc"},
        {"#define N\nN N", "N", "16", "#define 16\n16 16"},
        {"abab", "ab", "ba", "baba"},
        {"nothing here", "xyz", "q", "nothing here"},
        {"", "a", "b", ""},
        {"text", "", "x", "text"},  // an empty pattern changes nothing
    };
    for (const Case& c : cases) {
        std::string text = c.text;
        replace_all(text, c.from, c.to);
        EXPECT_EQ(text, c.expected) << c.text << " / " << c.from << " -> " << c.to;
    }
}

TEST(NumberToString, StreamFormatting) {
    EXPECT_EQ(float_to_string(0.5f, 3), "0.5");
    EXPECT_EQ(float_to_string(0.6666666f, 2), "0.67");
    EXPECT_EQ(float_to_string(1234567.0f, 3), "1.23e+06");
    EXPECT_EQ(float_to_string(-2.0f, 6), "-2");
    EXPECT_EQ(int_to_string(-12), "-12");
    EXPECT_EQ(int_to_string(0), "0");
    EXPECT_EQ(int_to_string(2147483647), "2147483647");
}

TEST(FileExists, FilesButNotDirectories) {
    TempDir dir;
    write_file(dir.file("present.txt"), "x");
    write_file(dir.file("empty.txt"), "");
    EXPECT_TRUE(file_exists(dir.file("present.txt")));
    EXPECT_TRUE(file_exists(dir.file("empty.txt")));
    EXPECT_FALSE(file_exists(dir.path()));
    EXPECT_FALSE(file_exists(dir.file("missing.txt")));
    EXPECT_FALSE(file_exists(""));
}

// Runs in a fresh folder with the data layer in a given mode, and puts the
// mode and the archive table back afterwards.
class DataFileHelpers : public ::testing::Test {
protected:
    void SetUp() override {
        chdir_ = std::make_unique<test_support::ScopedChdir>(dir_.path());
        std::filesystem::create_directories("data/shaders");
        write_file("data/shaders/piece.glsl", "void main() {}");
    }
    void TearDown() override {
        for (const auto& entry : DataFile::entries()) std::free(entry->data);
        DataFile::entries().clear();
        DataFile::set_mode(DataFileMode::Plain);
        chdir_.reset();
    }
    TempDir dir_;
    std::unique_ptr<test_support::ScopedChdir> chdir_;
};

TEST_F(DataFileHelpers, LoadTextFileIsZeroTerminated) {
    DataFile::set_mode(DataFileMode::Plain);
    char* text = load_text_file("data/shaders/piece.glsl");
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "void main() {}");
    std::free(text);
    EXPECT_EQ(load_text_file("data/shaders/missing.glsl"), nullptr);
}

TEST_F(DataFileHelpers, TouchRecordsTheFileInWriteMode) {
    DataFile::set_mode(DataFileMode::Write);
    touch_data_file("data/shaders/piece.glsl");
    ASSERT_EQ(DataFile::entries().size(), 1u);
    EXPECT_EQ(DataFile::entries()[0]->name, "data/shaders/piece.glsl");
    EXPECT_EQ(DataFile::entries()[0]->size, 15);  // text: the zero byte counts
}

TEST_F(DataFileHelpers, TouchMarksTheEntryUsedInReadMode) {
    DataFile::set_mode(DataFileMode::Read);
    auto made = std::make_unique<DataFileEntry>();
    DataFileEntry* entry = made.get();
    entry->name = "data/shaders/piece.glsl";
    DataFile::entries().push_back(std::move(made));
    touch_data_file("data/shaders/piece.glsl");
    EXPECT_TRUE(entry->used);
}

TEST_F(DataFileHelpers, TouchDoesNothingOnThePlainDisk) {
    DataFile::set_mode(DataFileMode::Plain);
    touch_data_file("data/shaders/piece.glsl");
    EXPECT_TRUE(DataFile::entries().empty());
}

// A touched file is one a part reads only later (a shader piece the first
// draw of a scene needs): in every mode a missing one ends the run while
// loading, with the name and the reason, instead of minutes into the show.
TEST_F(DataFileHelpers, TouchingAMissingFileEndsTheRunWithItsReason) {
    const struct {
        const char* what;
        int mode;
        const char* name;
        const char* message;
    } cases[] = {
        {"archive", DataFileMode::Read, "data/shaders/piece.glsl",
         "Failed to find data/shaders/piece.glsl: not in the data file data.tlx"},
        {"archive write", DataFileMode::Write, "data/shaders/missing.glsl",
         "Failed to find data/shaders/missing.glsl: No such file or directory"},
        {"plain disk", DataFileMode::Plain, "data/shaders/missing.glsl",
         "Failed to find data/shaders/missing.glsl: No such file or directory"},
        {"plain disk, a folder", DataFileMode::Plain, "data/shaders",
         "Failed to find data/shaders: a folder, not a file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DataFile::reset();
        DataFile::set_mode(c.mode);
        if (c.mode == DataFileMode::Read) {
            // An archive that holds another file only.
            auto other = std::make_unique<DataFileEntry>();
            other->name = "data/shaders/other.glsl";
            DataFile::entries().push_back(std::move(other));
            DataFile::state().archive_path = "data.tlx";
        }
        EXPECT_FATAL(touch_data_file(c.name), c.message);
        EXPECT_TRUE(DataFile::entries().size() <= 1u);
    }
    DataFile::reset();
}

}  // namespace
