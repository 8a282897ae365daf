#include "util/music/synctrack.h"

#include <cstring>

#include "support/test_support.h"

namespace {

SyncTrack two_keys(int32_t first_type) {
    SyncTrack t;
    t.name = "t";
    t.set_key({0, 1.0f, first_type});
    t.set_key({8, 3.0f, SyncKeyType::Step});
    return t;
}

TEST(SyncTrackValue, InterpolationTable) {
    struct Case {
        int32_t first_type;
        double row;
        float expected;
    } cases[] = {
        // before the first key, on it, between, on the last, after it
        {SyncKeyType::Linear, -5.0, 1.0f},
        {SyncKeyType::Linear, 0.0, 1.0f},
        {SyncKeyType::Linear, 4.0, 2.0f},
        {SyncKeyType::Linear, 4.5, 2.125f},
        {SyncKeyType::Linear, 8.0, 3.0f},
        {SyncKeyType::Linear, 100.0, 3.0f},
        {SyncKeyType::Step, 7.99, 1.0f},
        {SyncKeyType::Step, 8.0, 3.0f},
        {SyncKeyType::Smoothstep, 4.0, 2.0f},
        {SyncKeyType::Smoothstep, 2.0, 1.3125f},
        {SyncKeyType::Quadratic, 4.0, 1.5f},
        {SyncKeyType::Quadratic, 2.0, 1.125f},
        // an unknown shape gives 0 on its segment, but not past the last key
        {7, 4.0, 0.0f},
        {-128, 0.0, 0.0f},
        {7, 9.0, 3.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.first_type << " row " << c.row);
        EXPECT_FLOAT_EQ(two_keys(c.first_type).value_at(c.row), c.expected);
    }
}

TEST(SyncTrackValue, NoKeysAndOneKey) {
    SyncTrack t;
    EXPECT_EQ(t.value_at(3.0), 0.0f);
    t.set_key({10, 5.0f, SyncKeyType::Linear});
    EXPECT_EQ(t.value_at(-1e12), 5.0f);
    EXPECT_EQ(t.value_at(1e12), 5.0f);
}

TEST(SyncTrackKeys, FindSetDelete) {
    SyncTrack t;
    for (int32_t row : {16, 0, 8}) t.set_key({row, static_cast<float>(row), SyncKeyType::Linear});
    ASSERT_EQ(t.keys.size(), 3u);
    EXPECT_EQ(t.keys[0].row, 0);
    EXPECT_EQ(t.keys[1].row, 8);
    EXPECT_EQ(t.keys[2].row, 16);
    EXPECT_EQ(t.find_key(8), 1);
    EXPECT_EQ(t.find_key(-3), -1);  // would go to 0
    EXPECT_EQ(t.find_key(9), -3);   // would go to 2
    EXPECT_EQ(t.find_key(99), -4);

    // Same row: replaced whole, count kept.
    t.set_key({8, 42.0f, SyncKeyType::Quadratic});
    ASSERT_EQ(t.keys.size(), 3u);
    EXPECT_EQ(t.keys[1].value, 42.0f);
    EXPECT_EQ(t.keys[1].type, SyncKeyType::Quadratic);

    // A row without a key changes nothing.
    EXPECT_EQ(t.delete_key(5), 0);
    EXPECT_EQ(t.keys.size(), 3u);
    EXPECT_EQ(t.delete_key(8), 0);
    ASSERT_EQ(t.keys.size(), 2u);
    EXPECT_EQ(t.keys[1].row, 16);
    EXPECT_EQ(t.delete_key(0), 0);
    EXPECT_EQ(t.delete_key(16), 0);
    EXPECT_TRUE(t.keys.empty());
    EXPECT_EQ(t.delete_key(16), 0);
}

const uint8_t kBpmFile[] = {0x02, 0x00, 0x00, 0x00,                                      //
                            0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF0, 0x42, 0x00,        //
                            0x40, 0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x43, 0x01};

TEST(SyncTrackFile, EncodesExactBytes) {
    std::vector<SyncKey> keys = {{0, 120.0f, SyncKeyType::Step}, {64, 140.0f, SyncKeyType::Linear}};
    std::vector<uint8_t> bytes = SyncTrackFile::encode(keys);
    EXPECT_EQ(bytes, std::vector<uint8_t>(std::begin(kBpmFile), std::end(kBpmFile)));
    EXPECT_EQ(SyncTrackFile::encode({}), (std::vector<uint8_t>{0, 0, 0, 0}));
}

TEST(SyncTrackFile, DecodesExactBytes) {
    SyncTrack t;
    std::string error;
    ASSERT_TRUE(SyncTrackFile::decode(kBpmFile, sizeof kBpmFile, &t, &error)) << error;
    ASSERT_EQ(t.keys.size(), 2u);
    EXPECT_EQ(t.keys[0].row, 0);
    EXPECT_EQ(t.keys[0].value, 120.0f);
    EXPECT_EQ(t.keys[0].type, SyncKeyType::Step);
    EXPECT_EQ(t.keys[1].row, 64);
    EXPECT_EQ(t.keys[1].value, 140.0f);
    EXPECT_EQ(t.keys[1].type, SyncKeyType::Linear);
    EXPECT_EQ(SyncTrackFile::encode(t.keys), std::vector<uint8_t>(std::begin(kBpmFile), std::end(kBpmFile)));
}

TEST(SyncTrackFile, TypeByteIsSignedAndKeysAreSorted) {
    // Two keys in falling row order, the first with type byte 0x80, then a
    // trailing byte that is ignored.
    const uint8_t file[] = {0x02, 0, 0, 0,                                  //
                            0x10, 0, 0, 0, 0, 0, 0x80, 0x3F, 0x02,          //
                            0x00, 0, 0, 0, 0, 0, 0x00, 0x40, 0x80, 0xEE};
    SyncTrack t;
    std::string error;
    ASSERT_TRUE(SyncTrackFile::decode(file, sizeof file, &t, &error)) << error;
    ASSERT_EQ(t.keys.size(), 2u);
    EXPECT_EQ(t.keys[0].row, 0);
    EXPECT_EQ(t.keys[0].type, -128);
    EXPECT_EQ(t.keys[1].row, 16);
    EXPECT_EQ(t.keys[1].value, 1.0f);
    EXPECT_EQ(t.value_at(8.0), 0.0f);
}

TEST(SyncTrackFile, RefusesShortFiles) {
    struct Case {
        std::vector<uint8_t> bytes;
        const char* error;
    } cases[] = {
        {{}, "it holds 0 bytes, too few for the key count"},
        {{1, 0, 0}, "it holds 3 bytes, too few for the key count"},
        {{1, 0, 0, 0}, "its 1 keys need 13 bytes but it holds 4"},
        {{2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x80, 0x3F, 1, 0x08}, "its 2 keys need 22 bytes but it holds 14"},
        {{0xFF, 0xFF, 0xFF, 0xFF}, "its key count is negative (-1)"},
        {{0xFF, 0xFF, 0xFF, 0x7F}, "its 2147483647 keys need 19327352827 bytes but it holds 4"},
    };
    for (const Case& c : cases) {
        SyncTrack t;
        t.set_key({0, 5.0f, SyncKeyType::Step});
        std::string error;
        EXPECT_FALSE(SyncTrackFile::decode(c.bytes.data(), c.bytes.size(), &t, &error));
        EXPECT_EQ(error, c.error);
        ASSERT_EQ(t.keys.size(), 1u);  // untouched
        EXPECT_EQ(t.keys[0].value, 5.0f);
    }
}

}  // namespace
