#include "util/data/huffman.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes compress(const Bytes& in) {
    Bytes out(HuffmanCodec::max_blob_size(in.size()));
    int32_t outlen = 0;
    HuffmanCodec().compress(out.data(), &outlen, in.data(), static_cast<int32_t>(in.size()));
    out.resize(static_cast<size_t>(outlen));
    return out;
}

// Decodes a blob; false when the codec refuses it.
bool decompress(const Bytes& blob, Bytes* out, std::string* error = nullptr) {
    HuffmanCodec codec;
    int64_t n = codec.set_blob(blob.data(), blob.size());
    if (n >= 0) {
        out->assign(static_cast<size_t>(n), 0);
        int32_t outlen = -1;
        if (codec.decompress(out->data(), &outlen)) {
            EXPECT_EQ(outlen, n);
            return true;
        }
    }
    if (error) *error = codec.error();
    return false;
}

uint32_t u32(const Bytes& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

void set_u32(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

Bytes from_hex(const std::string& hex) {
    Bytes out;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) {
        if (hex[i] == ' ') { --i; continue; }
        out.push_back(static_cast<uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    }
    return out;
}

TEST(HuffmanCodec, WorkedExamplesByteForByte) {
    struct Case {
        const char* what;
        Bytes input;
        std::string blob;
    } cases[] = {
        {"abc", {'a', 'b', 'c'},
         "48554646 03000000 03000000 20000000 01000000 63 01000000 61 01000000 62 18"},
        {"empty", {}, "48554646 00000000 00000000 11000000 00"},
        {"one value", {0x41, 0x41, 0x41, 0x41}, "48554646 01000000 04000000 16000000 04000000 41 00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes blob = compress(c.input);
        EXPECT_EQ(blob, from_hex(c.blob));
        Bytes back;
        ASSERT_TRUE(decompress(blob, &back));
        EXPECT_EQ(back, c.input);
    }
}

TEST(HuffmanCodec, AbcTreeAndCodes) {
    Bytes in = {'a', 'b', 'c'};
    Bytes out(HuffmanCodec::max_blob_size(3));
    int32_t outlen = 0;
    HuffmanCodec codec;
    codec.compress(out.data(), &outlen, in.data(), 3);
    struct Expected {
        uint8_t value;
        uint32_t length;
        uint64_t bits;
    } codes[] = {{'a', 2, 0b00}, {'b', 2, 0b01}, {'c', 1, 0b1}};
    for (const Expected& e : codes) {
        EXPECT_EQ(codec.code(e.value).length, e.length) << e.value;
        EXPECT_EQ(codec.code(e.value).bits, e.bits) << e.value;
    }
}

// Frequencies that make a Fibonacci-shaped tree, deeper than 32 levels.
Bytes fibonacci_input(int symbols) {
    Bytes in;
    uint64_t a = 1, b = 1;
    for (int s = 0; s < symbols; ++s) {
        in.insert(in.end(), a, static_cast<uint8_t>(s));
        uint64_t next = a + b;
        a = b;
        b = next;
    }
    std::shuffle(in.begin(), in.end(), std::mt19937(7));
    return in;
}

struct RoundTripCase {
    std::string what;
    Bytes input;
};

std::vector<RoundTripCase> round_trip_cases() {
    std::mt19937 rng(12345);
    std::vector<RoundTripCase> cases;
    cases.push_back({"empty", {}});
    cases.push_back({"one byte", {0x7f}});
    cases.push_back({"zero byte repeated", Bytes(1000, 0)});
    cases.push_back({"one value, 8 bytes (a byte of bits)", Bytes(8, 0xAA)});
    cases.push_back({"two values", {1, 2, 2, 1, 1, 1, 2}});
    Bytes all(256);
    for (int i = 0; i < 256; ++i) all[i] = static_cast<uint8_t>(i);
    cases.push_back({"all 256 values once", all});
    for (size_t n : {1u, 2u, 7u, 8u, 9u, 64u, 1000u, 4097u}) {
        Bytes random(n);
        for (auto& b : random) b = static_cast<uint8_t>(rng());
        cases.push_back({"uniform random " + std::to_string(n), random});
    }
    Bytes skewed(100000);
    std::geometric_distribution<int> geometric(0.3);
    for (auto& b : skewed) b = static_cast<uint8_t>(std::min(geometric(rng), 255));
    cases.push_back({"geometric", skewed});
    Bytes text;
    const std::string words[] = {"the ", "loading ", "screen ", "fades ", "out\n", "#version 420\n"};
    while (text.size() < 1 << 20) {
        const std::string& w = words[rng() % 6];
        text.insert(text.end(), w.begin(), w.end());
    }
    cases.push_back({"about a megabyte of text", text});
    Bytes ties;
    for (int v = 0; v < 200; ++v) ties.insert(ties.end(), 1 + v % 3, static_cast<uint8_t>(v * 7));
    cases.push_back({"many equal frequencies", ties});
    return cases;
}

TEST(HuffmanCodec, RoundTripsAndKeepsTheBlobLayout) {
    for (const RoundTripCase& c : round_trip_cases()) {
        SCOPED_TRACE(c.what);
        Bytes blob = compress(c.input);
        Bytes back;
        ASSERT_TRUE(decompress(blob, &back));
        EXPECT_EQ(back, c.input);

        std::set<uint8_t> distinct(c.input.begin(), c.input.end());
        uint32_t count = u32(blob, 4);
        EXPECT_EQ(count, distinct.size());
        EXPECT_EQ(u32(blob, 8), c.input.size());
        EXPECT_EQ(u32(blob, 12), blob.size());
        EXPECT_LE(blob.size(), HuffmanCodec::max_blob_size(c.input.size()));

        // Rows by falling frequency, adding up to the input length.
        uint64_t sum = 0;
        for (uint32_t r = 0; r < count; ++r) {
            uint32_t freq = u32(blob, 16 + 5 * r);
            if (r > 0) {
                EXPECT_LE(freq, u32(blob, 16 + 5 * (r - 1)));
            }
            sum += freq;
        }
        EXPECT_EQ(sum, c.input.size());

        // The stream is the code bits and one more byte that is partly or
        // wholly padding.
        HuffmanCodec codec;
        Bytes again(HuffmanCodec::max_blob_size(c.input.size()));
        int32_t len = 0;
        codec.compress(again.data(), &len, c.input.data(), static_cast<int32_t>(c.input.size()));
        uint64_t bits = 0;
        for (uint8_t b : c.input) bits += codec.code(b).length;
        EXPECT_EQ(blob.size(), 16 + 5 * count + bits / 8 + 1);
        again.resize(static_cast<size_t>(len));
        EXPECT_EQ(again, blob) << "compressing twice gives other bytes";
    }
}

TEST(HuffmanCodec, AllByteValuesGiveEightBitCodesAndAPaddingByte) {
    Bytes all(256);
    for (int i = 0; i < 256; ++i) all[i] = static_cast<uint8_t>(255 - i);
    Bytes blob = compress(all);
    EXPECT_EQ(blob.size(), 1553u);
    EXPECT_EQ(blob.back(), 0);
}

TEST(HuffmanCodec, DeepTreeOfCodesLongerThan32Bits) {
    Bytes in = fibonacci_input(34);
    ASSERT_EQ(in.size(), 14930351u);
    Bytes out(HuffmanCodec::max_blob_size(in.size()));
    int32_t outlen = 0;
    HuffmanCodec codec;
    codec.compress(out.data(), &outlen, in.data(), static_cast<int32_t>(in.size()));
    uint32_t longest = 0;
    for (int v = 0; v < 34; ++v) longest = std::max(longest, codec.code(v).length);
    EXPECT_EQ(longest, 33u);
    out.resize(static_cast<size_t>(outlen));
    Bytes back;
    ASSERT_TRUE(decompress(out, &back));
    EXPECT_TRUE(back == in);
}

TEST(HuffmanCodec, SortKeepsTheProcedureOrderOfTies) {
    // Rows of equal frequency: the order is the one the procedure leaves,
    // which the worked example fixes for three rows (c, a, b).
    Bytes blob = compress({'a', 'b', 'c'});
    EXPECT_EQ(blob[20], 'c');
    EXPECT_EQ(blob[25], 'a');
    EXPECT_EQ(blob[30], 'b');
}

TEST(HuffmanCodec, RefusesDamagedBlobs) {
    Bytes input;
    std::mt19937 rng(99);
    for (int i = 0; i < 300; ++i) input.push_back(static_cast<uint8_t>(rng() % 40));
    const Bytes good = compress(input);
    ASSERT_LT(good.size(), 16u + 5 * 256);

    struct Case {
        const char* what;
        void (*damage)(Bytes&);
    } cases[] = {
        {"no magic", [](Bytes& b) { b[0] = 'X'; }},
        {"symbol count 257", [](Bytes& b) { set_u32(b, 4, 257); }},
        {"table past the end", [](Bytes& b) { set_u32(b, 4, 256); }},
        {"huge length", [](Bytes& b) { set_u32(b, 8, 0xFFFFFFFF); }},
        {"length beyond the bits", [](Bytes& b) { set_u32(b, 8, u32(b, 8) * 9); }},
        {"length field disagrees", [](Bytes& b) { set_u32(b, 12, u32(b, 12) + 1); }},
        {"no symbols for bytes", [](Bytes& b) {
             set_u32(b, 4, 0);
             set_u32(b, 8, 5);
         }},
        {"bits cut short", [](Bytes& b) {
             b.resize(b.size() - 40);
             set_u32(b, 12, static_cast<uint32_t>(b.size()));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes blob = good;
        c.damage(blob);
        Bytes out;
        std::string error;
        EXPECT_FALSE(decompress(blob, &out, &error));
        EXPECT_FALSE(error.empty());
    }

    // Every proper prefix, with and without its length field mended.
    for (size_t n = 0; n < good.size(); ++n) {
        Bytes prefix(good.begin(), good.begin() + static_cast<long>(n));
        Bytes out;
        EXPECT_FALSE(decompress(prefix, &out)) << n;
        if (n >= 16) {
            set_u32(prefix, 12, static_cast<uint32_t>(n));
            decompress(prefix, &out);  // may decode or refuse; never read outside
        }
    }
}

TEST(HuffmanCodec, RandomDamageDecodesOrFailsCleanly) {
    Bytes input;
    std::mt19937 rng(5);
    for (int i = 0; i < 2000; ++i) input.push_back(static_cast<uint8_t>(rng() % 7 == 0 ? rng() : rng() % 20));
    const Bytes good = compress(input);
    for (int round = 0; round < 1000; ++round) {
        Bytes blob = good;
        int flips = 1 + static_cast<int>(rng() % 4);
        for (int f = 0; f < flips; ++f) blob[rng() % blob.size()] ^= static_cast<uint8_t>(1 + rng() % 255);
        Bytes out;
        decompress(blob, &out);
    }
}

}  // namespace
