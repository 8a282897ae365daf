#include "util/texture/inflate.h"

#include <cstdlib>
#include <cstring>

#include "system/fatal.h"

namespace inflate_detail {

namespace {

const uint16_t kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                  31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
const uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
const uint16_t kDistanceBase[30] = {1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
                                    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
const uint8_t kDistanceExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

}  // namespace

void make_codes(uint16_t* codes, const uint8_t* lengths, int count) {
    unsigned per_length[16] = {0};
    for (int i = 0; i < count; ++i) per_length[lengths[i] & 15]++;
    per_length[0] = 0;
    unsigned next[16] = {0};
    unsigned code = 0;
    for (int bits = 1; bits < 16; ++bits) {
        code = (code + per_length[bits - 1]) << 1;
        next[bits] = code;
    }
    for (int i = 0; i < count; ++i) {
        int len = lengths[i] & 15;
        codes[i] = len ? static_cast<uint16_t>(next[len]++) : 0;
    }
}

void fixed_code_lengths(uint8_t* lengths) {
    for (int i = 0; i < 288; ++i) lengths[i] = i < 144 ? 8 : i < 256 ? 9 : i < 280 ? 7 : 8;
}

BaseExtra length_base(int symbol) { return {kLengthBase[symbol - 257], kLengthExtra[symbol - 257]}; }
BaseExtra distance_base(int code) { return {kDistanceBase[code], kDistanceExtra[code]}; }

}  // namespace inflate_detail

namespace {

using namespace inflate_detail;

constexpr int kMaxBits = 15;
constexpr int kMaxSymbols = 288;

// A canonical Huffman code: a table indexed by the next kFastBits input bits
// for the short codes, and per-length counts for the rest.
struct HuffmanTable {
    static constexpr int kFastBits = 10;
    uint16_t fast[1 << kFastBits];    // symbol << 4 | code length; 0 when longer or absent
    uint16_t count[kMaxBits + 1];     // number of codes of each length
    uint16_t symbols[kMaxSymbols];    // symbols in code order

    // False for an over-subscribed set of lengths. Incomplete sets (including
    // the empty one) are accepted; their unused codes fail when met.
    bool build(const uint8_t* lengths, int n) {
        std::memset(count, 0, sizeof count);
        for (int i = 0; i < n; ++i) count[lengths[i]]++;
        count[0] = 0;
        int left = 1;
        for (int len = 1; len <= kMaxBits; ++len) {
            left = (left << 1) - count[len];
            if (left < 0) return false;
        }
        uint16_t offset[kMaxBits + 2] = {0};
        for (int len = 1; len <= kMaxBits; ++len) offset[len + 1] = offset[len] + count[len];
        for (int i = 0; i < n; ++i)
            if (lengths[i]) symbols[offset[lengths[i]]++] = static_cast<uint16_t>(i);

        std::memset(fast, 0, sizeof fast);
        uint16_t codes[kMaxSymbols];
        make_codes(codes, lengths, n);
        for (int i = 0; i < n; ++i) {
            int len = lengths[i];
            if (len == 0 || len > kFastBits) continue;
            unsigned reversed = 0;  // codes are sent most significant bit first
            for (int b = 0; b < len; ++b) reversed |= ((codes[i] >> b) & 1u) << (len - 1 - b);
            for (unsigned k = reversed; k < (1u << kFastBits); k += 1u << len)
                fast[k] = static_cast<uint16_t>(i << 4 | len);
        }
        return true;
    }
};

const HuffmanTable& fixed_table() {
    static const HuffmanTable table = [] {
        HuffmanTable t;
        uint8_t lengths[288];
        fixed_code_lengths(lengths);
        t.build(lengths, 288);
        return t;
    }();
    return table;
}

class Inflater {
public:
    Inflater(const uint8_t* data, size_t length, const InflateSink& sink)
        : in_(data), end_(data + length), sink_(sink) {
        window_ = static_cast<uint8_t*>(std::calloc(kAlloc, 1));
        if (!window_) FATAL_ERROR("Failed to allocate windowBuf");
    }
    ~Inflater() { std::free(window_); }
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;

    int run() {
        for (;;) {
            refill();
            unsigned final_block = bits(1);
            unsigned type = bits(2);
            if (overrun()) return fail();
            bool ok;
            switch (type) {
                case 0: ok = stored_block(); break;
                case 1: ok = coded_block(fixed_table(), nullptr); break;
                case 2: ok = dynamic_block(); break;
                default: ok = false; break;
            }
            if (stopped_) return 0;
            if (!ok) return fail();
            if (final_block) return flush() ? 1 : 0;
        }
    }

private:
    // The last 32 KiB of output stay in front of pos_ for back-references;
    // output is handed on and slid down once pos_ passes kFlushAt.
    static constexpr size_t kWindow = 32768;
    static constexpr size_t kFlushAt = 2 * kWindow;
    static constexpr size_t kAlloc = kFlushAt + 258;

    // --- bits, least significant first; past the end of the data come zero
    // bits, counted in pad_ so that using them is noticed.
    void refill() {
        if (cnt_ >= 48) return;  // enough for a symbol, a match and their extra bits
        if (end_ - in_ >= 8) {
            uint64_t v = 0;
            for (int i = 7; i >= 0; --i) v = v << 8 | in_[i];
            buf_ |= v << cnt_;
            in_ += (63 - cnt_) >> 3;
            cnt_ |= 56;
            return;
        }
        while (cnt_ <= 56) {
            uint64_t b = 0;
            if (in_ < end_) b = *in_++;
            else pad_ += 8;
            buf_ |= b << cnt_;
            cnt_ += 8;
        }
    }
    bool overrun() const { return pad_ > cnt_; }
    unsigned bits(unsigned n) {
        unsigned v = static_cast<unsigned>(buf_ & ((uint64_t(1) << n) - 1));
        buf_ >>= n;
        cnt_ -= n;
        return v;
    }

    // The next symbol, or -1 for a code the table does not hold.
    int decode(const HuffmanTable& t) {
        unsigned e = t.fast[buf_ & ((1u << HuffmanTable::kFastBits) - 1)];
        if (e & 15) {
            bits(e & 15);
            return static_cast<int>(e >> 4);
        }
        int code = 0, first = 0, index = 0;
        for (int len = 1; len <= kMaxBits; ++len) {
            code |= static_cast<int>((buf_ >> (len - 1)) & 1);
            int n = t.count[len];
            if (code - n < first) {
                bits(static_cast<unsigned>(len));
                return t.symbols[index + (code - first)];
            }
            index += n;
            first = (first + n) << 1;
            code <<= 1;
        }
        return -1;
    }

    // --- output
    bool flush() {
        if (pos_ > flushed_ && !sink_(window_ + flushed_, pos_ - flushed_)) {
            stopped_ = true;
            return false;
        }
        flushed_ = pos_;
        return true;
    }
    bool slide_if_full() {
        if (pos_ < kFlushAt) return true;
        if (!flush()) return false;
        produced_ += pos_ - kWindow;
        std::memmove(window_, window_ + pos_ - kWindow, kWindow);
        pos_ = flushed_ = kWindow;
        return true;
    }
    size_t produced() const { return produced_ + (pos_ - kWindow); }
    // Hands on what was decoded so far, then reports failure.
    int fail() {
        flush();
        return 0;
    }

    // --- blocks
    bool stored_block() {
        // Drop to the byte boundary and give the unused whole bytes back.
        bits(cnt_ & 7);
        if (overrun()) return false;
        in_ -= (cnt_ - pad_) >> 3;
        buf_ = 0;
        cnt_ = pad_ = 0;
        if (end_ - in_ < 4) return false;
        size_t len = in_[0] | in_[1] << 8;  // NLEN is not examined
        in_ += 4;
        while (len > 0) {
            size_t n = len;
            if (n > kFlushAt - pos_) n = kFlushAt - pos_;
            if (n > static_cast<size_t>(end_ - in_)) n = static_cast<size_t>(end_ - in_);
            if (n == 0) return false;
            std::memcpy(window_ + pos_, in_, n);
            in_ += n;
            pos_ += n;
            len -= n;
            if (!slide_if_full()) return false;
        }
        return true;
    }

    bool dynamic_block() {
        static const uint8_t kOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
        refill();
        int hlit = static_cast<int>(bits(5)) + 257;
        int hdist = static_cast<int>(bits(5)) + 1;
        int hclen = static_cast<int>(bits(4)) + 4;
        uint8_t cl_lengths[19] = {0};
        for (int i = 0; i < hclen; ++i) {
            refill();
            cl_lengths[kOrder[i]] = static_cast<uint8_t>(bits(3));
        }
        if (overrun() || !lit_.build(cl_lengths, 19)) return false;

        uint8_t lengths[kMaxSymbols + 32];
        const int total = hlit + hdist;
        int i = 0;
        while (i < total) {
            refill();
            int sym = decode(lit_);
            if (sym < 0 || overrun()) return false;
            if (sym < 16) {
                lengths[i++] = static_cast<uint8_t>(sym);
                continue;
            }
            uint8_t value = 0;
            int repeat;
            if (sym == 16) {
                if (i == 0) return false;  // nothing to repeat
                value = lengths[i - 1];
                repeat = 3 + static_cast<int>(bits(2));
            } else if (sym == 17) {
                repeat = 3 + static_cast<int>(bits(3));
            } else {
                repeat = 11 + static_cast<int>(bits(7));
            }
            if (overrun() || repeat > total - i) return false;
            std::memset(lengths + i, value, static_cast<size_t>(repeat));
            i += repeat;
        }
        if (!lit_.build(lengths, hlit) || !dist_.build(lengths + hlit, hdist)) return false;
        return coded_block(lit_, &dist_);
    }

    // Literals and matches until the end-of-block symbol. Without a distance
    // table (fixed codes) a distance code is five bits, most significant first.
    bool coded_block(const HuffmanTable& lit, const HuffmanTable* dist) {
        for (;;) {
            refill();
            int sym = decode(lit);
            if (sym < 0 || overrun()) return false;
            if (sym < 256) {
                window_[pos_++] = static_cast<uint8_t>(sym);
                if (!slide_if_full()) return false;
                continue;
            }
            if (sym == 256) return true;
            if (sym > 285) continue;  // 286 and 287 of the fixed code carry nothing
            BaseExtra lb = length_base(sym);
            size_t length = lb.base + bits(lb.extra);
            int code;
            if (dist) {
                code = decode(*dist);
                if (code < 0) return false;
            } else {
                unsigned b = bits(5);
                code = static_cast<int>((b & 1) << 4 | (b & 2) << 2 | (b & 4) | (b & 8) >> 2 | (b & 16) >> 4);
            }
            if (code >= 30) return false;
            BaseExtra db = distance_base(code);
            size_t distance = db.base + bits(db.extra);
            if (overrun() || distance > produced()) return false;

            uint8_t* out = window_ + pos_;
            const uint8_t* from = out - distance;
            if (distance >= length) {
                std::memcpy(out, from, length);
            } else {
                for (size_t k = 0; k < length; ++k) out[k] = from[k];
            }
            pos_ += length;
            if (!slide_if_full()) return false;
        }
    }

    const uint8_t* in_;
    const uint8_t* end_;
    uint64_t buf_ = 0;
    unsigned cnt_ = 0;
    unsigned pad_ = 0;

    const InflateSink& sink_;
    uint8_t* window_ = nullptr;
    size_t pos_ = kWindow;
    size_t flushed_ = kWindow;
    size_t produced_ = 0;
    bool stopped_ = false;

    HuffmanTable lit_;
    HuffmanTable dist_;
};

}  // namespace

int inflate_zlib(const uint8_t* data, uint32_t length, const InflateSink& sink) {
    if (length < 2) return 0;
    const uint8_t cmf = data[0];
    const uint8_t flg = data[1];
    if ((cmf & 15) != 8) return 0;
    if (flg & 0x20) return 0;  // preset dictionaries are not supported
    Inflater inflater(data + 2, length - 2, sink);
    return inflater.run();
}
