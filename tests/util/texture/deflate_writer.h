// Test helpers for hand-made deflate streams and zlib round trips.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <vector>

#include "util/texture/inflate.h"

namespace deflate_test {

// Writes bits least significant first, as deflate stores them.
class BitWriter {
public:
    void bits(unsigned value, int count) {
        for (int i = 0; i < count; ++i) bit((value >> i) & 1);
    }
    // A Huffman code: most significant bit first.
    void code(unsigned value, int length) {
        for (int i = length - 1; i >= 0; --i) bit((value >> i) & 1);
    }
    // A symbol of the fixed literal/length code.
    void fixed(int symbol) {
        if (symbol < 144) code(0x30 + symbol, 8);
        else if (symbol < 256) code(0x190 + symbol - 144, 9);
        else if (symbol < 280) code(symbol - 256, 7);
        else code(0xC0 + symbol - 280, 8);
    }
    void align() { used_ = 0; }
    void byte(uint8_t b) { align(), out_.push_back(b); }
    // With a zlib header (CMF 0x78, FLG 0x9C) in front.
    std::vector<uint8_t> zlib(uint8_t cmf = 0x78, uint8_t flg = 0x9C) const {
        std::vector<uint8_t> s = {cmf, flg};
        s.insert(s.end(), out_.begin(), out_.end());
        return s;
    }

private:
    void bit(unsigned b) {
        if (used_ == 0) out_.push_back(0);
        out_.back() |= static_cast<uint8_t>(b << used_);
        used_ = (used_ + 1) & 7;
    }
    std::vector<uint8_t> out_;
    int used_ = 0;
};

struct Inflated {
    int result;
    std::vector<uint8_t> bytes;
};

inline Inflated run_inflate(const std::vector<uint8_t>& stream) {
    Inflated r;
    r.result = inflate_zlib(stream.data(), static_cast<uint32_t>(stream.size()),
                            [&](const uint8_t* b, size_t n) {
                                r.bytes.insert(r.bytes.end(), b, b + n);
                                return true;
                            });
    return r;
}

inline std::vector<uint8_t> zlib_compress(const std::vector<uint8_t>& data, int level, int window_bits,
                                          int strategy = Z_DEFAULT_STRATEGY) {
    z_stream zs{};
    deflateInit2(&zs, level, Z_DEFLATED, window_bits, 8, strategy);
    std::vector<uint8_t> out(deflateBound(&zs, data.size()) + 16);
    zs.next_in = const_cast<Bytef*>(data.data());
    zs.avail_in = static_cast<uInt>(data.size());
    zs.next_out = out.data();
    zs.avail_out = static_cast<uInt>(out.size());
    deflate(&zs, Z_FINISH);
    out.resize(zs.total_out);
    deflateEnd(&zs);
    return out;
}

// zlib's own decoding: true when it reaches the stream end within
// `max_output` bytes; `out` gets what it produced.
inline bool zlib_inflates(const uint8_t* data, size_t size, std::vector<uint8_t>& out,
                          size_t max_output = SIZE_MAX) {
    z_stream zs{};
    if (inflateInit(&zs) != Z_OK) return false;
    zs.next_in = const_cast<Bytef*>(data);
    zs.avail_in = static_cast<uInt>(size);
    uint8_t chunk[16384];
    int ret;
    do {
        zs.next_out = chunk;
        zs.avail_out = sizeof chunk;
        ret = ::inflate(&zs, Z_NO_FLUSH);
        out.insert(out.end(), chunk, chunk + (sizeof chunk - zs.avail_out));
    } while (ret == Z_OK && out.size() <= max_output);
    inflateEnd(&zs);
    return ret == Z_STREAM_END;
}

}  // namespace deflate_test
