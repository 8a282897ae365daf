#include "platform/avifile.h"

#include "support/test_support.h"
#include "util/avi/avi_reader.h"

namespace {

using platform::AviFile;
using platform::AviStreamInfo;
using platform::make_fourcc;

AviStreamInfo stream(const char (&type)[5], const std::string& name) {
    AviStreamInfo info;
    info.type = make_fourcc(type);
    info.rate = 8000;
    info.sample_size = 1;
    info.name = name;
    return info;
}

// Odd-sized chunks and names get the pad byte RIFF needs; the index keeps
// the real sizes.
TEST(AviFile, PadsOddChunksToEvenOffsets) {
    test_support::TempDir dir;
    AviFile file;
    ASSERT_TRUE(file.create(dir.file("odd.avi")));
    EXPECT_FALSE(file.create(dir.file("other.avi"))) << "one file at a time";
    const int video = file.create_stream(stream("vids", "V"));
    const int audio = file.create_stream(stream("auds", "Sound"));
    ASSERT_EQ(video, 0);
    ASSERT_EQ(audio, 1);
    ASSERT_TRUE(file.set_format(audio, {1, 2, 3}));
    const uint8_t data[] = {9, 8, 7, 6, 5};
    EXPECT_EQ(file.write(audio, data, 3, 3), 3u);
    EXPECT_EQ(file.write(video, data, 5, 1), 5u);
    EXPECT_EQ(file.write(2, data, 5, 1), 0u) << "no such stream";
    ASSERT_TRUE(file.close());
    EXPECT_TRUE(file.close()) << "closing twice is harmless";

    avi_test::AviFile f = avi_test::read_avi(dir.file("odd.avi"));  // checks every size
    ASSERT_EQ(f.streams.size(), 2u);
    EXPECT_EQ(f.streams[0].name, std::string("V", 2));
    EXPECT_EQ(f.streams[1].name, std::string("Sound", 6));
    EXPECT_EQ(f.streams[1].strf, (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(f.streams[1].length(), 3u);
    EXPECT_EQ(f.chunks("01wb"), (std::vector<std::vector<uint8_t>>{{9, 8, 7}}));
    EXPECT_EQ(f.chunks("00db"), (std::vector<std::vector<uint8_t>>{{9, 8, 7, 6, 5}}));
    ASSERT_EQ(f.index.size(), 2u);
    EXPECT_EQ(f.index[0].offset, 4u);
    EXPECT_EQ(f.index[1].offset, 4u + 8 + 4);
    EXPECT_EQ(f.index[1].size, 5u);
    EXPECT_EQ(f.movi->offset + 12, AviFile::header_space) << "movie data starts at a fixed place";
}

// A chunk that 32-bit RIFF sizes cannot describe is refused before any byte
// of it is read, and the file stays complete.
TEST(AviFile, RefusesChunksBeyondRiffSizes) {
    test_support::TempDir dir;
    AviFile file;
    ASSERT_TRUE(file.create(dir.file("big.avi")));
    const int video = file.create_stream(stream("vids", "Video"));
    const uint8_t byte = 1;
    EXPECT_EQ(file.write(video, &byte, size_t{1} << 32, 1), 0u);
    EXPECT_EQ(file.write(video, &byte, 0xFFFFFFFFu - AviFile::header_space, 1), 0u);
    EXPECT_EQ(file.write(video, &byte, 1, 1), 1u);
    ASSERT_TRUE(file.close());
    EXPECT_EQ(avi_test::read_avi(dir.file("big.avi")).index.size(), 1u);
}

TEST(AviFile, ReportsFailedWrites) {
    AviFile file;
    if (!file.create("/dev/full")) return;  // refused at once: reported too
    const int video = file.create_stream(stream("vids", "Video"));
    const std::vector<uint8_t> frame(1 << 20, 1);
    EXPECT_EQ(file.write(video, frame.data(), frame.size(), 1), 0u);
    EXPECT_EQ(file.write(video, frame.data(), 1, 1), 0u) << "a failed file stays failed";
    EXPECT_FALSE(file.close());
}

TEST(AviFile, NothingWorksWithoutAFile) {
    AviFile file;
    EXPECT_EQ(file.create_stream(stream("vids", "Video")), -1);
    EXPECT_FALSE(file.set_format(0, {1}));
    const uint8_t byte = 1;
    EXPECT_EQ(file.write(0, &byte, 1, 1), 0u);
    EXPECT_TRUE(file.close());
    EXPECT_FALSE(file.create("/nonexistent-folder/x.avi"));
}

}  // namespace
