// The archive file "data.tlx": a 21-byte header ("Orvenhal Data File", a zero
// byte, format version 0.2) and the Huffman blob of the chunk stream. Each
// chunk is the tag "TLXDFC" with a zero byte, the name length and the data
// length (little-endian 32-bit), the name and the data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace DataArchive {

constexpr size_t kHeaderTextSize = 19;
constexpr size_t kFileHeaderSize = 21;
constexpr size_t kChunkTagSize = 7;
constexpr size_t kChunkHeaderSize = 15;
constexpr uint8_t kMajorVersion = 0;
constexpr uint8_t kMinorVersion = 2;
extern const char kHeaderText[kHeaderTextSize];  // with its zero byte
extern const char kChunkTag[kChunkTagSize];      // with its zero byte

// One chunk of a decoded archive: its name and where its data lies in the
// chunk stream.
struct Chunk {
    std::string name;
    size_t offset = 0;
    uint32_t size = 0;
};

struct Parsed {
    std::vector<uint8_t> stream;  // the decompressed chunk stream
    std::vector<Chunk> chunks;
};

// Checks and decodes a whole archive file held in memory. Returns an empty
// text on success; otherwise the message the run ends with, which names
// `path` where the damage is in the compressed or chunk data.
std::string parse(const uint8_t* file, size_t length, const std::string& path, Parsed* out);

// The chunk header of one entry (tag, name length, data length).
void put_chunk_header(uint8_t out[kChunkHeaderSize], uint32_t name_length, uint32_t size);

}  // namespace DataArchive
