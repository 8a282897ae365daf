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
    t.default_value = -2.0f;  // without keys a track reads its default
    EXPECT_EQ(t.value_at(3.0), -2.0f);
    t.set_key({10, 5.0f, SyncKeyType::Linear});
    EXPECT_EQ(t.value_at(-1e12), 5.0f);
    EXPECT_EQ(t.value_at(1e12), 5.0f);
    t.delete_key(10);
    EXPECT_EQ(t.value_at(3.0), -2.0f);
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

// A batch of edits ends where the same edits one after the other end: the
// last edit of a row wins, removals of absent rows change nothing.
TEST(SyncTrackKeys, BatchEditsMatchEditsOneByOne) {
    uint32_t state = 12345;  // a fixed little generator: the same cases every run
    auto next = [&state](uint32_t n) {
        state = state * 1103515245u + 12345u;
        return (state >> 8) % n;
    };
    for (int round = 0; round < 20; ++round) {
        SyncTrack one_by_one, batched;
        for (int32_t row : {0, 5, 50}) {
            one_by_one.set_key({row, 1.0f, SyncKeyType::Step});
            batched.set_key({row, 1.0f, SyncKeyType::Step});
        }
        std::vector<SyncKeyEdit> edits;
        const int count = round == 0 ? 0 : static_cast<int>(next(400));
        for (int i = 0; i < count; ++i) {
            SyncKeyEdit e;
            e.key = {static_cast<int32_t>(next(80)) - 10, static_cast<float>(i), static_cast<int32_t>(next(4))};
            e.remove = next(4) == 0;
            if (e.remove)
                one_by_one.delete_key(e.key.row);
            else
                one_by_one.set_key(e.key);
            edits.push_back(e);
        }
        batched.apply_edits(edits);
        ASSERT_EQ(batched.keys.size(), one_by_one.keys.size()) << "round " << round;
        for (size_t k = 0; k < batched.keys.size(); ++k) {
            EXPECT_EQ(batched.keys[k].row, one_by_one.keys[k].row);
            EXPECT_EQ(batched.keys[k].value, one_by_one.keys[k].value);
            EXPECT_EQ(batched.keys[k].type, one_by_one.keys[k].type);
        }
    }
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
