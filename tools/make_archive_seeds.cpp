// Writes the seed archives of the archive fuzz target into
// fuzz/corpus/archive/ (run from the repository root):
//   c++ -std=c++17 -Isrc tools/make_archive_seeds.cpp src/util/data/huffman.cpp -o /tmp/seeds && /tmp/seeds
#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "util/data/huffman.h"

namespace {

using Bytes = std::vector<uint8_t>;

void put_u32(Bytes& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void add_chunk(Bytes& stream, const std::string& name, const std::string& data) {
    const char tag[7] = "TLXDFC";
    stream.insert(stream.end(), tag, tag + 7);
    put_u32(stream, static_cast<uint32_t>(name.size()));
    put_u32(stream, static_cast<uint32_t>(data.size()));
    stream.insert(stream.end(), name.begin(), name.end());
    stream.insert(stream.end(), data.begin(), data.end());
}

Bytes archive(const Bytes& stream) {
    const char header[19] = "Orvenhal Data File";
    Bytes out(header, header + 19);
    out.push_back(0);
    out.push_back(2);
    Bytes blob(HuffmanCodec::max_blob_size(stream.size()));
    int32_t len = 0;
    HuffmanCodec().compress(blob.data(), &len, stream.data(), static_cast<int32_t>(stream.size()));
    out.insert(out.end(), blob.begin(), blob.begin() + len);
    return out;
}

void save(const std::string& name, const Bytes& bytes) {
    std::ofstream("fuzz/corpus/archive/" + name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

int main() {
    Bytes one;
    add_chunk(one, "data/a", "hello");
    save("one_chunk", archive(one));

    Bytes several;
    std::string all;
    for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
    add_chunk(several, "data/common/fonts/courier_new.ttf", all);
    add_chunk(several, "data/empty", "");
    add_chunk(several, "data/shader.frag", std::string("void main() {}\n\0", 16));
    save("several_chunks", archive(several));

    Bytes deep;
    std::string skewed;
    uint32_t a = 1, b = 1;
    for (int s = 0; s < 14; ++s) {
        skewed += std::string(a, static_cast<char>('a' + s));
        uint32_t next = a + b;
        a = b;
        b = next;
    }
    add_chunk(deep, "data/deep", skewed);
    save("deep_tree", archive(deep));

    save("empty_stream", archive(Bytes{}));
    Bytes header_only(21, 0);
    std::memcpy(header_only.data(), "Orvenhal Data File", 18);
    header_only[20] = 2;
    save("header_only", header_only);
    return 0;
}
