// The archive's static Huffman codec.
//
// A blob is a 16-byte header ("HUFF", symbol count, uncompressed length,
// blob length; little-endian 32-bit), the frequency table (5 bytes a row:
// 32-bit frequency, byte value) and the code bits, most significant bit
// first. The tree is never stored: the decoder rebuilds it from the table
// with exactly the encoder's procedure, so the sorting below is part of the
// file format and must not change.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class HuffmanCodec {
public:
    static constexpr int kNone = -1;

    // One row of the frequency table; `node` is the subtree the row stands
    // for, or kNone for a single byte value.
    struct Symbol {
        uint32_t freq = 0;
        uint8_t value = 0;
        int node = kNone;
    };

    // One tree node; a side without a child is a leaf with that side's value.
    struct Node {
        uint8_t leaf[2] = {0, 0};
        int child[2] = {kNone, kNone};
        int parent = kNone;
    };

    // Bit 0 is the branch nearest the leaf, bit length-1 the one at the root.
    struct Code {
        uint32_t length = 0;
        uint64_t bits = 0;
    };

    static constexpr size_t kHeaderSize = 16;
    static constexpr size_t kRowSize = 5;

    // The largest blob that `length` input bytes can give.
    static constexpr size_t max_blob_size(size_t length) { return length + kHeaderSize + kRowSize * 256 + 1; }

    // Writes the blob of `in` into `out` (at least max_blob_size(inlen)
    // bytes) and stores its length.
    void compress(uint8_t* out, int32_t* outlen, const uint8_t* in, int32_t inlen);

    // Checks the header and table of a blob of `bloblen` bytes and returns
    // the uncompressed length, or -1 with error() telling what is wrong.
    int64_t set_blob(const uint8_t* blob, size_t bloblen);

    // Decodes the blob given to set_blob into `out`, which holds the
    // uncompressed length. False, with error() set, when the code bits end
    // early.
    bool decompress(uint8_t* out, int32_t* outlen);

    const std::string& error() const { return error_; }

    // The code of a byte value after compress.
    const Code& code(int value) const { return codes_[value]; }

private:
    bool compare_symbols(int p, int q) const;  // true when row p is greater
    void sort_rows(int lo, int hi);
    void build_tree();
    void assign_codes();
    void write_table(uint8_t* out, const uint8_t* in, int32_t inlen);
    bool fail(const std::string& what);

    Symbol symbols_[256];
    Node nodes_[256];
    Code codes_[256];
    int symbol_count_ = 0;
    uint32_t uncompressed_length_ = 0;

    const uint8_t* blob_ = nullptr;
    size_t blob_length_ = 0;
    std::string error_;
};
