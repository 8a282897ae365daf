#include "util/data/huffman.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

constexpr char kMagic[4] = {'H', 'U', 'F', 'F'};

void put_u32(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}

uint32_t get_u32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

uint64_t load_be64(const uint8_t* p) {
    uint64_t v;
    std::memcpy(&v, p, 8);
    return __builtin_bswap64(v);
}

// Packs codes most significant bit first. Holds fewer than 8 pending bits
// between codes, at the top of `pending`.
class BitWriter {
public:
    explicit BitWriter(uint8_t* out) : out_(out) {}

    void put(uint64_t bits, uint32_t length) {
        while (length > 0) {
            uint32_t take = std::min<uint32_t>(length, 32);
            uint64_t piece = (bits >> (length - take)) & ((uint64_t{1} << take) - 1);
            pending_ |= piece << (64 - count_ - take);
            count_ += take;
            length -= take;
            while (count_ >= 8) {
                *out_++ = static_cast<uint8_t>(pending_ >> 56);
                pending_ <<= 8;
                count_ -= 8;
            }
        }
    }

    // Writes the current byte: the partly filled one, or a zero byte when the
    // bits ended on a byte boundary. Returns the end of the stream.
    uint8_t* finish() {
        *out_++ = static_cast<uint8_t>(pending_ >> 56);
        return out_;
    }

private:
    uint8_t* out_;
    uint64_t pending_ = 0;
    uint32_t count_ = 0;
};

}  // namespace

bool HuffmanCodec::compare_symbols(int p, int q) const {
    if (symbols_[p].freq != symbols_[q].freq) return symbols_[p].freq < symbols_[q].freq;
    return p < q;
}

// A median-of-three quicksort that hands ranges of at most 8 rows to a
// selection sort. The comparison looks at positions, so rows of equal
// frequency end up where this exact procedure puts them.
void HuffmanCodec::sort_rows(int lo0, int hi0) {
    if (hi0 - lo0 + 1 < 2) return;
    int lo_stack[32], hi_stack[32];
    int depth = 0;
    int lo = lo0, hi = hi0;
    auto swap_rows = [this](int a, int b) { std::swap(symbols_[a], symbols_[b]); };
    auto equal = [this](int a, int b) { return !compare_symbols(a, b) && !compare_symbols(b, a); };

    for (;;) {
        int size = hi - lo + 1;
        if (size <= 8) {
            while (hi > lo) {
                int best = lo;
                for (int p = lo + 1; p <= hi; ++p)
                    if (compare_symbols(p, best)) best = p;
                swap_rows(best, hi);
                --hi;
            }
        } else {
            int mid = lo + size / 2;
            if (compare_symbols(lo, mid)) swap_rows(lo, mid);
            if (compare_symbols(lo, hi)) swap_rows(lo, hi);
            if (compare_symbols(mid, hi)) swap_rows(mid, hi);
            int L = lo, H = hi;
            for (;;) {
                if (mid > L) {
                    do ++L;
                    while (L < mid && !compare_symbols(L, mid));
                }
                if (mid <= L) {
                    do ++L;
                    while (L <= hi && !compare_symbols(L, mid));
                }
                do --H;
                while (H > mid && compare_symbols(H, mid));
                if (H < L) break;
                swap_rows(L, H);
                if (mid == H) mid = L;
            }
            ++H;
            if (mid < H) {
                do --H;
                while (H > mid && equal(H, mid));
            }
            if (mid >= H) {
                do --H;
                while (H > lo && equal(H, mid));
            }
            if (H - lo >= hi - L) {
                if (lo < H) { lo_stack[depth] = lo; hi_stack[depth] = H; ++depth; }
                if (L < hi) { lo = L; continue; }
            } else {
                if (L < hi) { lo_stack[depth] = L; hi_stack[depth] = hi; ++depth; }
                if (lo < H) { hi = H; continue; }
            }
        }
        if (depth == 0) return;
        --depth;
        lo = lo_stack[depth];
        hi = hi_stack[depth];
    }
}

// Joins the two last rows into node i, from the last pair up to the root,
// re-sorting the rows that are left after every join.
void HuffmanCodec::build_tree() {
    for (int i = symbol_count_ - 2; i >= 0; --i) {
        Node& node = nodes_[i];
        for (int side = 0; side < 2; ++side) {
            const Symbol& row = symbols_[i + side];
            if (row.node != kNone) {
                node.child[side] = row.node;
                nodes_[row.node].parent = i;
            } else {
                node.child[side] = kNone;
                node.leaf[side] = row.value;
            }
        }
        if (i > 0) {
            symbols_[i].freq += symbols_[i + 1].freq;
            symbols_[i].node = i;
            symbols_[i + 1].freq = 0;
            sort_rows(0, i);
        }
    }
}

void HuffmanCodec::assign_codes() {
    for (int n = 0; n <= symbol_count_ - 2; ++n) {
        for (int side = 0; side < 2; ++side) {
            if (nodes_[n].child[side] != kNone) continue;
            Code code;
            int branch = side;
            int at = n;
            for (;;) {
                if (branch) code.bits |= uint64_t{1} << code.length;
                ++code.length;
                if (at == 0) break;
                int parent = nodes_[at].parent;
                branch = nodes_[parent].child[1] == at ? 1 : 0;
                at = parent;
            }
            codes_[nodes_[n].leaf[side]] = code;
        }
    }
}

void HuffmanCodec::write_table(uint8_t* out, const uint8_t* in, int32_t inlen) {
    for (int s = 0; s < 256; ++s) symbols_[s] = Symbol{0, static_cast<uint8_t>(s), kNone};
    uint32_t counts[256] = {};
    for (int32_t i = 0; i < inlen; ++i) ++counts[in[i]];
    symbol_count_ = 0;
    for (int s = 0; s < 256; ++s) {
        symbols_[s].freq = counts[s];
        if (counts[s]) ++symbol_count_;
    }
    sort_rows(0, 255);

    std::memcpy(out, kMagic, 4);
    put_u32(out + 4, static_cast<uint32_t>(symbol_count_));
    put_u32(out + 8, static_cast<uint32_t>(inlen));
    put_u32(out + 12, 0);
    uint8_t* row = out + kHeaderSize;
    for (int s = 0; s < symbol_count_; ++s, row += kRowSize) {
        put_u32(row, symbols_[s].freq);
        row[4] = symbols_[s].value;
    }
}

void HuffmanCodec::compress(uint8_t* out, int32_t* outlen, const uint8_t* in, int32_t inlen) {
    for (auto& n : nodes_) n = Node{};
    for (auto& c : codes_) c = Code{};
    write_table(out, in, inlen);
    if (symbol_count_ == 1) {
        codes_[symbols_[0].value] = Code{1, 0};
    } else if (symbol_count_ >= 2) {
        build_tree();
        assign_codes();
    }

    BitWriter bits(out + kHeaderSize + kRowSize * static_cast<size_t>(symbol_count_));
    for (int32_t i = 0; i < inlen; ++i) bits.put(codes_[in[i]].bits, codes_[in[i]].length);
    uint8_t* end = bits.finish();

    *outlen = static_cast<int32_t>(end - out);
    put_u32(out + 12, static_cast<uint32_t>(*outlen));
}

bool HuffmanCodec::fail(const std::string& what) {
    error_ = what;
    return false;
}

int64_t HuffmanCodec::set_blob(const uint8_t* blob, size_t bloblen) {
    blob_ = blob;
    blob_length_ = bloblen;
    error_.clear();
    if (bloblen < kHeaderSize) return fail("blob header cut short"), -1;
    if (std::memcmp(blob, kMagic, 4) != 0) return fail("no HUFF blob"), -1;
    uint32_t count = get_u32(blob + 4);
    uint32_t length = get_u32(blob + 8);
    if (get_u32(blob + 12) != bloblen)
        return fail("blob length field " + std::to_string(get_u32(blob + 12)) + " but " +
                    std::to_string(bloblen) + " bytes stored"),
               -1;
    if (count > 256) return fail("symbol count " + std::to_string(count) + " over 256"), -1;
    size_t table_end = kHeaderSize + kRowSize * count;
    if (table_end + 1 > bloblen) return fail("frequency table runs past the end"), -1;
    if (count == 0 && length != 0) return fail("no symbols for " + std::to_string(length) + " bytes"), -1;
    // Every byte costs at least one bit.
    if (length > 0x7FFFFFFFu || length > 8 * static_cast<uint64_t>(bloblen - table_end))
        return fail("uncompressed length " + std::to_string(length) + " does not fit the code bits"), -1;

    symbol_count_ = static_cast<int>(count);
    uncompressed_length_ = length;
    for (auto& n : nodes_) n = Node{};
    for (int s = 0; s < 256; ++s) symbols_[s] = Symbol{};
    const uint8_t* row = blob + kHeaderSize;
    for (int s = 0; s < symbol_count_; ++s, row += kRowSize) symbols_[s] = Symbol{get_u32(row), row[4], kNone};
    return length;
}

namespace {

// Decoding table: the next kLookupBits bits of the stream give either a whole
// code (its byte value and length) or, for longer codes, the node reached
// after those bits, where the decoder goes on bit by bit.
constexpr int kLookupBits = 12;

struct LookupEntry {
    uint16_t target;  // byte value, or node index when `deep`
    uint8_t length;
    uint8_t deep;
};

}  // namespace

bool HuffmanCodec::decompress(uint8_t* out, int32_t* outlen) {
    *outlen = 0;
    const size_t n = uncompressed_length_;
    const uint8_t* stream = blob_ + kHeaderSize + kRowSize * static_cast<size_t>(symbol_count_);
    const size_t stream_bytes = blob_length_ - (stream - blob_);
    const uint64_t total_bits = 8 * static_cast<uint64_t>(stream_bytes);

    if (symbol_count_ == 1) {
        // One zero bit per byte; set_blob checked that the bits are there.
        if (n > 0) std::memset(out, symbols_[0].value, n);
        *outlen = static_cast<int32_t>(n);
        return true;
    }
    if (n == 0) return true;
    build_tree();

    static_assert(kLookupBits <= 16, "lookup entries hold 16-bit targets");
    LookupEntry table[1 << kLookupBits];
    for (uint32_t prefix = 0; prefix < (1u << kLookupBits); ++prefix) {
        int node = 0;
        LookupEntry entry{0, kLookupBits, 1};
        for (int depth = 0; depth < kLookupBits; ++depth) {
            int bit = (prefix >> (kLookupBits - 1 - depth)) & 1;
            int child = nodes_[node].child[bit];
            if (child == kNone) {
                entry = LookupEntry{nodes_[node].leaf[bit], static_cast<uint8_t>(depth + 1), 0};
                break;
            }
            node = child;
        }
        if (entry.deep) entry.target = static_cast<uint16_t>(node);
        table[prefix] = entry;
    }

    uint8_t* dst = out;
    uint8_t* const dst_end = out + n;
    uint64_t bitpos = 0;
    auto bit_at = [stream](uint64_t pos) { return (stream[pos >> 3] >> (7 - (pos & 7))) & 1; };

    while (dst < dst_end) {
        // Fast path: an 8-byte load holds at least 57 unread bits, enough for
        // four codes of up to kLookupBits bits.
        if (dst_end - dst >= 4 && (bitpos >> 3) + 8 <= stream_bytes) {
            uint64_t word = load_be64(stream + (bitpos >> 3)) << (bitpos & 7);
            uint32_t used = 0;
            int k = 0;
            for (; k < 4; ++k) {
                const LookupEntry& e = table[(word << used) >> (64 - kLookupBits)];
                if (e.deep) break;
                *dst++ = static_cast<uint8_t>(e.target);
                used += e.length;
            }
            bitpos += used;
            if (k == 4) continue;
        }
        // One code, every bit checked against the end of the stream.
        int node = 0;
        if ((bitpos >> 3) + 8 <= stream_bytes) {
            uint64_t word = load_be64(stream + (bitpos >> 3)) << (bitpos & 7);
            const LookupEntry& e = table[word >> (64 - kLookupBits)];
            if (!e.deep) {
                *dst++ = static_cast<uint8_t>(e.target);
                bitpos += e.length;
                continue;
            }
            node = e.target;
            bitpos += kLookupBits;
        }
        for (;;) {
            if (bitpos >= total_bits) return fail("code bits end early");
            int bit = bit_at(bitpos++);
            int child = nodes_[node].child[bit];
            if (child == kNone) {
                *dst++ = nodes_[node].leaf[bit];
                break;
            }
            node = child;
        }
    }
    *outlen = static_cast<int32_t>(n);
    return true;
}
