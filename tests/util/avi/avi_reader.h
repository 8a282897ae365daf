// Reads back the AVI files the tests produce: a strict RIFF parser that
// checks every size and the file's chunk layout, and the pieces the tests
// compare (main header, stream headers and formats, movie chunks, index).
// Also runs the Debian ffmpeg tools on a file.
#pragma once

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/e2e_display.h"

namespace avi_test {

inline uint32_t u16_at(const std::vector<uint8_t>& b, size_t at) {
    if (at + 2 > b.size()) throw std::runtime_error("read past the end of a chunk");
    return b[at] | b[at + 1] << 8;
}

inline uint32_t u32_at(const std::vector<uint8_t>& b, size_t at) {
    return u16_at(b, at) | u16_at(b, at + 2) << 16;
}

inline std::string fourcc_at(const std::vector<uint8_t>& b, size_t at) {
    if (at + 4 > b.size()) throw std::runtime_error("read past the end of a chunk");
    return std::string(b.begin() + at, b.begin() + at + 4);
}

struct Chunk {
    std::string id;         // "LIST", "avih", "00db", ...
    std::string list_type;  // for RIFF and LIST: "hdrl", "movi", ...
    size_t offset = 0;      // of the chunk header in the file
    std::vector<uint8_t> data;
    std::vector<Chunk> children;

    const Chunk& child(const std::string& child_id, size_t nth = 0) const {
        for (const Chunk& c : children)
            if ((c.id == child_id || c.list_type == child_id) && nth-- == 0) return c;
        throw std::runtime_error("no chunk " + child_id + " in " + id + " " + list_type);
    }
    size_t count(const std::string& child_id) const {
        size_t n = 0;
        for (const Chunk& c : children) n += c.id == child_id || c.list_type == child_id;
        return n;
    }
};

// Parses the chunks of `b` in [begin, end); every chunk must fit exactly.
inline std::vector<Chunk> parse_chunks(const std::vector<uint8_t>& b, size_t begin, size_t end) {
    std::vector<Chunk> out;
    size_t at = begin;
    while (at < end) {
        if (at + 8 > end) throw std::runtime_error("truncated chunk header");
        Chunk c;
        c.id = fourcc_at(b, at);
        c.offset = at;
        const size_t size = u32_at(b, at + 4);
        const size_t body = at + 8;
        if (body + size > end) throw std::runtime_error("chunk " + c.id + " overruns its parent");
        if (c.id == "RIFF" || c.id == "LIST") {
            c.list_type = fourcc_at(b, body);
            c.children = parse_chunks(b, body + 4, body + size);
        } else {
            c.data.assign(b.begin() + body, b.begin() + body + size);
        }
        out.push_back(std::move(c));
        at = body + size + size % 2;
    }
    if (at != end) throw std::runtime_error("padding runs past the parent");
    return out;
}

inline std::vector<uint8_t> read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot open " + path);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

struct Stream {
    std::vector<uint8_t> strh, strf;
    std::string name;
    std::string type() const { return fourcc_at(strh, 0); }
    std::string handler() const { return fourcc_at(strh, 4); }
    uint32_t scale() const { return u32_at(strh, 20); }
    uint32_t rate() const { return u32_at(strh, 24); }
    uint32_t length() const { return u32_at(strh, 32); }
    uint32_t suggested_buffer_size() const { return u32_at(strh, 36); }
    uint32_t sample_size() const { return u32_at(strh, 44); }
    std::vector<uint32_t> frame_rect() const {
        return {u16_at(strh, 48), u16_at(strh, 50), u16_at(strh, 52), u16_at(strh, 54)};
    }
};

struct IndexEntry {
    std::string id;
    uint32_t flags, offset, size;
};

// One AVI file, checked for the layout our writer produces.
struct AviFile {
    std::vector<uint8_t> bytes;
    Chunk riff;
    std::vector<uint8_t> avih;
    std::vector<Stream> streams;
    const Chunk* movi = nullptr;
    std::vector<IndexEntry> index;

    uint32_t avih_field(int i) const { return u32_at(avih, 4 * i); }
    uint32_t total_frames() const { return avih_field(4); }

    // Data of the movie chunks with this id, in file order.
    std::vector<std::vector<uint8_t>> chunks(const std::string& id) const {
        std::vector<std::vector<uint8_t>> out;
        for (const Chunk& c : movi->children)
            if (c.id == id) out.push_back(c.data);
        return out;
    }
};

inline AviFile read_avi(const std::string& path) {
    AviFile f;
    f.bytes = read_file(path);
    std::vector<Chunk> top = parse_chunks(f.bytes, 0, f.bytes.size());
    if (top.size() != 1 || top[0].id != "RIFF" || top[0].list_type != "AVI ")
        throw std::runtime_error(path + " is not one RIFF 'AVI ' chunk");
    f.riff = std::move(top[0]);

    const Chunk& hdrl = f.riff.child("hdrl");
    if (hdrl.children.empty() || hdrl.children[0].id != "avih")
        throw std::runtime_error("hdrl does not start with avih");
    f.avih = hdrl.children[0].data;
    for (size_t i = 0; i < hdrl.count("strl"); ++i) {
        const Chunk& strl = hdrl.child("strl", i);
        Stream s;
        s.strh = strl.child("strh").data;
        s.strf = strl.child("strf").data;
        const std::vector<uint8_t>& strn = strl.child("strn").data;
        s.name = std::string(strn.begin(), strn.end());
        f.streams.push_back(std::move(s));
    }
    f.movi = &f.riff.child("movi");
    const std::vector<uint8_t>& idx1 = f.riff.child("idx1").data;
    for (size_t at = 0; at + 16 <= idx1.size(); at += 16)
        f.index.push_back({fourcc_at(idx1, at), u32_at(idx1, at + 4), u32_at(idx1, at + 8),
                           u32_at(idx1, at + 12)});
    return f;
}

// Runs a shell command; returns its standard output, throws when it fails.
inline std::string run(const std::string& command) {
    test_support::CommandResult result = test_support::run_command(command);
    if (result.status != 0) throw std::runtime_error("command failed: " + command);
    return result.output;
}

inline std::string quoted(const std::string& path) { return "'" + path + "'"; }

}  // namespace avi_test
