// Decoder of zlib streams (RFC 1950) holding deflate data (RFC 1951), used by
// the PNG decoder for its joined IDAT data. It needs nothing but memory.
//
// Output goes to a byte sink in order, in runs of up to 64 KiB. The sink
// returns false to stop decoding (the result is then 0).
//
// Result: 1 once the block marked final has been decoded, 0 on any failure:
// a bad header (CM other than 8, FDICT set), BTYPE 3, an invalid code, a
// distance before the first byte written, data ending early, a sink that says
// stop. Bytes handed to the sink before a failure stay handed. The Adler-32
// trailer and the header check bits are not examined; any CINFO is accepted
// (the window is always deflate's full 32 KiB, so a stream that understates
// its window still decodes). Data after the final block is ignored.
//
// The reader never touches a byte outside [data, data + length), and every
// table index is checked, so any input is safe.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

using InflateSink = std::function<bool(const uint8_t* bytes, size_t count)>;

int inflate_zlib(const uint8_t* data, uint32_t length, const InflateSink& sink);

namespace inflate_detail {

// Canonical codes (RFC 1951 3.2.2) for `count` code lengths: the code of a
// symbol of length L is its L low bits, most significant bit sent first.
// Symbols of length 0 get code 0.
void make_codes(uint16_t* codes, const uint8_t* lengths, int count);

// The fixed literal/length code lengths of RFC 1951 3.2.6 (288 symbols).
void fixed_code_lengths(uint8_t* lengths);

// Match length of symbol 257..285 without its extra bits, and the number of
// extra bits; the same for distance codes 0..29.
struct BaseExtra {
    uint16_t base;
    uint8_t extra;
};
BaseExtra length_base(int symbol);
BaseExtra distance_base(int code);

}  // namespace inflate_detail
