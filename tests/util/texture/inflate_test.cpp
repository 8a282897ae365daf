#include "util/texture/inflate.h"

#include <random>
#include <string>

#include "support/test_support.h"
#include "util/texture/deflate_writer.h"
#include "util/texture/png_loader.h"

namespace {

using deflate_test::BitWriter;
using deflate_test::run_inflate;
using deflate_test::zlib_compress;
using Bytes = std::vector<uint8_t>;

Bytes str(const std::string& s) { return Bytes(s.begin(), s.end()); }

// Block header: BFINAL then BTYPE.
void block(BitWriter& w, bool final_block, int type) {
    w.bits(final_block ? 1 : 0, 1);
    w.bits(static_cast<unsigned>(type), 2);
}

// Dynamic header with HLIT, HDIST and the code-length code lengths given in
// transmission order (16, 17, 18, 0, 8, ...).
void dynamic_header(BitWriter& w, int hlit, int hdist, const std::vector<int>& cl_in_order) {
    block(w, true, 2);
    w.bits(static_cast<unsigned>(hlit - 257), 5);
    w.bits(static_cast<unsigned>(hdist - 1), 5);
    w.bits(static_cast<unsigned>(cl_in_order.size() - 4), 4);
    for (int l : cl_in_order) w.bits(static_cast<unsigned>(l), 3);
}

TEST(Inflate, StatedBehaviour) {
    {   // A fixed block with 97, 98, 99 and the end of block.
        BitWriter w;
        block(w, true, 1);
        for (int s : {97, 98, 99, 256}) w.fixed(s);
        auto r = run_inflate(w.zlib());
        EXPECT_EQ(r.result, 1);
        EXPECT_EQ(r.bytes, str("abc"));
    }
    {   // Literal 7, then length 10 at distance 1: eleven 7s.
        BitWriter w;
        block(w, true, 1);
        w.fixed(7);
        w.fixed(264);
        w.code(0, 5);
        w.fixed(256);
        auto r = run_inflate(w.zlib());
        EXPECT_EQ(r.result, 1);
        EXPECT_EQ(r.bytes, Bytes(11, 7));
    }
    {   // Symbol 285 copies 258 bytes and reads no extra bits.
        BitWriter w;
        block(w, true, 1);
        w.fixed(7);
        w.fixed(285);
        w.code(0, 5);
        w.fixed('A');
        w.fixed(256);
        auto r = run_inflate(w.zlib());
        Bytes expected(259, 7);
        expected.push_back('A');
        EXPECT_EQ(r.result, 1);
        EXPECT_EQ(r.bytes, expected);
    }
    {   // A stored block of 5 bytes; the next block starts at the byte after.
        BitWriter w;
        block(w, false, 0);
        for (uint8_t b : {5, 0, 0xFA, 0xFF}) w.byte(b);
        for (char c : std::string("hello")) w.byte(static_cast<uint8_t>(c));
        block(w, true, 1);
        w.fixed('z');
        w.fixed(256);
        auto r = run_inflate(w.zlib());
        EXPECT_EQ(r.result, 1);
        EXPECT_EQ(r.bytes, str("helloz"));
    }
    {   // BTYPE 3.
        BitWriter w;
        block(w, true, 3);
        w.bits(0, 16);
        auto r = run_inflate(w.zlib());
        EXPECT_EQ(r.result, 0);
        EXPECT_TRUE(r.bytes.empty());
    }
    const Bytes text = str(std::string(2000, 'q') + "some text that repeats, some text that repeats");
    {   // A wrong Adler-32 is not noticed.
        Bytes s = zlib_compress(text, 9, 15);
        s.back() ^= 0xFF;
        auto r = run_inflate(s);
        EXPECT_EQ(r.result, 1);
        EXPECT_EQ(r.bytes, text);
    }
    {   // CM other than 8, and FDICT set: nothing.
        Bytes s = zlib_compress(text, 9, 15);
        Bytes bad_cm = s;
        bad_cm[0] = 0x77;
        Bytes fdict = s;
        fdict[1] |= 0x20;
        for (const Bytes& b : {bad_cm, fdict}) {
            auto r = run_inflate(b);
            EXPECT_EQ(r.result, 0);
            EXPECT_TRUE(r.bytes.empty());
        }
    }
    {   // A header that states a 256-byte window does not stop references
        // further back from working.
        std::mt19937 rng(5);
        Bytes data(3000);
        for (auto& b : data) b = static_cast<uint8_t>(rng());
        data.insert(data.end(), data.begin(), data.begin() + 2000);
        Bytes s = zlib_compress(data, 9, 15);
        s[0] = 0x08;
        auto r = run_inflate(s);
        EXPECT_EQ(r.result, 1);
        EXPECT_EQ(r.bytes, data);
    }
}

// A PNG decoder whose sink says stop at the third byte.
struct StopAtThird : ZqGenericPngDecoder {
    Bytes seen;
    int write_byte(uint8_t b) override {
        seen.push_back(b);
        return seen.size() == 3 ? 0 : 1;
    }
};

TEST(Inflate, SinkStopsDecoding) {
    Bytes s = zlib_compress(str("abcdefghijklmnop"), 6, 15);
    StopAtThird d;
    EXPECT_EQ(d.inflate(static_cast<uint32_t>(s.size()), s.data()), 0);
    EXPECT_EQ(d.seen, str("abc"));
}

struct BadStream {
    const char* label;
    Bytes stream;
    Bytes output;  // what is handed on before the failure
};

std::vector<BadStream> bad_streams() {
    std::vector<BadStream> cases;
    cases.push_back({"empty input", {}, {}});
    cases.push_back({"header only", {0x78}, {}});
    {
        BitWriter w;
        block(w, true, 1);
        w.fixed(257);
        w.code(0, 5);
        cases.push_back({"match before the first byte", w.zlib(), {}});
    }
    {
        BitWriter w;
        block(w, true, 1);
        w.fixed(7);
        w.fixed(257);
        w.code(1, 5);  // distance 2 after one byte
        cases.push_back({"distance too far back", w.zlib(), {7}});
    }
    for (unsigned code : {30u, 31u}) {
        BitWriter w;
        block(w, true, 1);
        w.fixed(7);
        w.fixed(257);
        w.code(code, 5);
        w.fixed(256);
        cases.push_back({"distance code 30/31", w.zlib(), {7}});
    }
    {
        BitWriter w;
        block(w, true, 0);
        for (uint8_t b : {100, 0, 0x9B, 0xFF, 1, 2, 3, 4, 5}) w.byte(b);
        cases.push_back({"stored block longer than the data", w.zlib(), {1, 2, 3, 4, 5}});
    }
    {
        BitWriter w;
        block(w, true, 0);
        w.byte(5);
        cases.push_back({"stored block without its length", w.zlib(), {}});
    }
    {   // Code-length code: symbol 0 -> "0", symbol 16 -> "1"; 16 comes first.
        BitWriter w;
        dynamic_header(w, 257, 1, {1, 0, 0, 1});
        w.code(1, 1);
        w.bits(0, 2);
        w.bits(0, 32);
        cases.push_back({"repeat with nothing before it", w.zlib(), {}});
    }
    {   // Symbol 0 -> "0", symbol 18 -> "1"; three runs of 138 zeros.
        BitWriter w;
        dynamic_header(w, 257, 1, {0, 0, 1, 1});
        for (int i = 0; i < 3; ++i) {
            w.code(1, 1);
            w.bits(127, 7);
        }
        w.bits(0, 32);
        cases.push_back({"repeat past the last length", w.zlib(), {}});
    }
    {   // All 258 lengths zero: an empty literal/length code.
        BitWriter w;
        dynamic_header(w, 257, 1, {0, 0, 1, 1});
        w.code(1, 1);
        w.bits(127, 7);  // 138
        w.code(1, 1);
        w.bits(109, 7);  // 120
        w.bits(0, 32);
        cases.push_back({"no literal codes", w.zlib(), {}});
    }
    {   // 'A' -> "0", 256 -> "10", 257 -> "11", no distance codes at all.
        // Code-length code, all of length 2: 0 "00", 1 "01", 2 "10", 18 "11".
        BitWriter w;
        dynamic_header(w, 258, 1, {0, 0, 2, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 2});
        w.code(3, 2);
        w.bits(54, 7);  // 65 zeros
        w.code(1, 2);   // 'A': 1
        w.code(3, 2);
        w.bits(127, 7);  // 138 zeros
        w.code(3, 2);
        w.bits(41, 7);  // 52 zeros
        w.code(2, 2);
        w.code(2, 2);  // 256 and 257: 2
        w.code(0, 2);  // the one distance length: 0
        w.code(0, 1);  // 'A'
        w.code(3, 2);  // length 3 ...
        w.bits(0, 16);  // ... and a distance from an empty code
        cases.push_back({"match with an empty distance code", w.zlib(), {'A'}});
    }
    {   // Code-length code lengths all 1: over-subscribed.
        BitWriter w;
        dynamic_header(w, 257, 1, std::vector<int>(19, 1));
        w.bits(0, 32);
        cases.push_back({"over-subscribed code", w.zlib(), {}});
    }
    return cases;
}

TEST(Inflate, DamagedStreamsFailSafely) {
    for (const BadStream& c : bad_streams()) {
        SCOPED_TRACE(c.label);
        auto r = run_inflate(c.stream);
        EXPECT_EQ(r.result, 0);
        EXPECT_EQ(r.bytes, c.output);
    }
}

// Test inputs of several kinds.
Bytes sample(int kind, size_t size, uint32_t seed) {
    std::mt19937 rng(seed);
    Bytes out;
    out.reserve(size);
    static const char* const words[] = {"pixel ", "scanline ", "window ", "the ", "deflate ", "\n", "a "};
    while (out.size() < size) {
        switch (kind) {
            case 0: out.push_back(static_cast<uint8_t>(rng())); break;  // noise
            case 1: {                                                   // text
                const char* word = words[rng() % 7];
                out.insert(out.end(), word, word + std::char_traits<char>::length(word));
                break;
            }
            case 2: out.insert(out.end(), 1 + rng() % 300, static_cast<uint8_t>(rng() % 4)); break;  // runs
            default: {  // picture-like: smooth gradient with noise
                size_t i = out.size();
                out.push_back(static_cast<uint8_t>((i / 7) + (rng() % 3)));
                break;
            }
        }
    }
    out.resize(size);
    return out;
}

TEST(Inflate, MatchesZlib) {
    const int strategies[] = {Z_DEFAULT_STRATEGY, Z_FILTERED, Z_HUFFMAN_ONLY, Z_RLE, Z_FIXED};
    const size_t sizes[] = {0, 1, 100, 40000, 300000};
    int runs = 0;
    for (int kind = 0; kind < 4; ++kind) {
        for (size_t size : sizes) {
            const Bytes data = sample(kind, size, static_cast<uint32_t>(kind * 31 + size));
            for (int level = 0; level <= 9; ++level) {
                for (int strategy : strategies) {
                    // Every window size with the default strategy, the
                    // largest with the others.
                    for (int window = 8; window <= 15; ++window) {
                        if (strategy != Z_DEFAULT_STRATEGY && window != 15) continue;
                        if (size > 40000 && window != 15 && window != 9) continue;
                        SCOPED_TRACE(testing::Message() << "kind " << kind << " size " << size << " level "
                                                        << level << " strategy " << strategy << " window "
                                                        << window);
                        auto r = run_inflate(zlib_compress(data, level, window, strategy));
                        ASSERT_EQ(r.result, 1);
                        ASSERT_EQ(r.bytes, data);
                        ++runs;
                    }
                }
            }
        }
    }
    EXPECT_GT(runs, 500);
}

TEST(Inflate, TruncatedStreamsGiveAPrefix) {
    for (int kind = 0; kind < 4; ++kind) {
        const Bytes data = sample(kind, 3000, 77u + kind);
        for (int level : {0, 1, 9}) {
            const Bytes stream = zlib_compress(data, level, 15);
            for (size_t cut = 0; cut < stream.size(); ++cut) {
                auto r = run_inflate(Bytes(stream.begin(), stream.begin() + cut));
                // Only the Adler-32 trailer may be missing for success.
                if (cut + 4 >= stream.size()) {
                    ASSERT_EQ(r.result, 1) << "cut " << cut;
                    ASSERT_EQ(r.bytes, data);
                } else {
                    ASSERT_EQ(r.result, 0) << "cut " << cut;
                    ASSERT_LE(r.bytes.size(), data.size());
                    ASSERT_TRUE(std::equal(r.bytes.begin(), r.bytes.end(), data.begin())) << "cut " << cut;
                }
            }
        }
    }
}

TEST(Inflate, BitFlipsAgreeWithZlibWhenZlibSucceeds) {
    std::mt19937 rng(99);
    int agreed = 0;
    for (int round = 0; round < 3000; ++round) {
        const int kind = round % 4;
        const Bytes data = sample(kind, 200 + round % 2000, static_cast<uint32_t>(round));
        Bytes stream = zlib_compress(data, round % 10, 15, round % 7 == 0 ? Z_FIXED : Z_DEFAULT_STRATEGY);
        const int flips = 1 + static_cast<int>(rng() % 3);
        for (int f = 0; f < flips; ++f) stream[rng() % stream.size()] ^= static_cast<uint8_t>(1u << (rng() % 8));
        auto r = run_inflate(stream);  // must not crash or hang, whatever it says
        ASSERT_TRUE(r.result == 0 || r.result == 1);
        Bytes expected;
        if (deflate_test::zlib_inflates(stream.data(), stream.size(), expected)) {
            ASSERT_EQ(r.result, 1) << "round " << round;
            ASSERT_EQ(r.bytes, expected) << "round " << round;
            ++agreed;
        }
    }
    EXPECT_GT(agreed, 0);
}

TEST(Inflate, CanonicalCodes) {
    // RFC 1951 3.2.2's example: lengths (3,3,3,3,3,2,4,4).
    const uint8_t lengths[8] = {3, 3, 3, 3, 3, 2, 4, 4};
    uint16_t codes[8];
    inflate_detail::make_codes(codes, lengths, 8);
    const uint16_t expected[8] = {2, 3, 4, 5, 6, 0, 14, 15};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(codes[i], expected[i]) << i;
}

}  // namespace
