#include "util/data/archive.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iomanip>
#include <memory>
#include <sstream>

#include "platform/files.h"
#include "system/fatal.h"
#include "util/data/data.h"
#include "util/data/data_state.h"
#include "util/data/huffman.h"

namespace DataArchive {

const char kHeaderText[kHeaderTextSize] = "Orvenhal Data File";
const char kChunkTag[kChunkTagSize] = "TLXDFC";

namespace {

uint32_t get_u32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

void put_u32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// Bytes shown as text up to their first zero byte (or all of them). They come
// from a damaged file: what is not printable ASCII (control characters,
// invalid UTF-8) is shown as \xHH, and a backslash as \\, so the message box
// and the log get plain text.
std::string text_of(const uint8_t* bytes, size_t size) {
    size_t length = 0;
    while (length < size && bytes[length] != 0) ++length;
    return DataFile::printable(bytes, length);
}

std::string corrupt(const std::string& path, const std::string& what) {
    return "Corrupt datafile " + path + ": " + what;
}

// A message that names no file, with the archive it is about.
std::string in_archive(const std::string& message, const std::string& path) {
    return DataFile::failure_message(message, "data file " + path, "");
}

// Walks the chunk stream, checking every field against what is left.
std::string walk_chunks(const std::string& path, Parsed* out) {
    const std::vector<uint8_t>& stream = out->stream;
    size_t pos = 0;
    uint64_t total_size = 0;
    while (pos < stream.size()) {
        size_t remaining = stream.size() - pos;
        size_t index = out->chunks.size();
        if (remaining < kChunkTagSize)
            return corrupt(path, "chunk " + std::to_string(index) + " cut short");
        if (std::memcmp(&stream[pos], kChunkTag, kChunkTagSize) != 0) {
            std::ostringstream message;
            message << "Unrecognized chunk header: " << text_of(&stream[pos], kChunkTagSize) << ". \nRead "
                    << index << " chunks, " << static_cast<float>(total_size) / 1048576.0f
                    << " MB before this\n";
            return in_archive(message.str(), path);
        }
        if (remaining < kChunkHeaderSize)
            return corrupt(path, "chunk " + std::to_string(index) + " cut short");
        uint32_t name_length = get_u32(&stream[pos + 7]);
        uint32_t size = get_u32(&stream[pos + 11]);
        remaining -= kChunkHeaderSize;
        if (name_length > remaining)
            return corrupt(path, "name of chunk " + std::to_string(index) + " runs past the end");
        remaining -= name_length;
        if (size > remaining || size > 0x7FFFFFFFu)
            return corrupt(path, "data of chunk " + std::to_string(index) + " runs past the end");
        Chunk chunk;
        chunk.name.assign(reinterpret_cast<const char*>(&stream[pos + kChunkHeaderSize]), name_length);
        chunk.offset = pos + kChunkHeaderSize + name_length;
        chunk.size = size;
        out->chunks.push_back(std::move(chunk));
        total_size += size;
        pos += kChunkHeaderSize + name_length + size;
    }
    return "";
}

}  // namespace

void put_chunk_header(uint8_t out[kChunkHeaderSize], uint32_t name_length, uint32_t size) {
    std::memcpy(out, kChunkTag, kChunkTagSize);
    put_u32(out + 7, name_length);
    put_u32(out + 11, size);
}

std::string parse(const uint8_t* file, size_t length, const std::string& path, Parsed* out) {
    *out = Parsed{};
    if (length == 0) return in_archive("Negative or zero file length: 0", path);
    if (length < kHeaderTextSize) return in_archive("Failed to read header!", path);
    if (std::memcmp(file, kHeaderText, kHeaderTextSize) != 0)
        return in_archive("Unrecognized datafile header: " + text_of(file, kHeaderTextSize), path);
    if (length < kHeaderTextSize + 1) return in_archive("Failed to read major version!", path);
    if (length < kFileHeaderSize) return in_archive("Failed to read minor version!", path);
    int major = file[19], minor = file[20];
    if (major != kMajorVersion || minor != kMinorVersion)
        return in_archive("Expected datafile format 0.2, got " + std::to_string(major) + "." + std::to_string(minor),
                          path);
    size_t bloblen = length - kFileHeaderSize;
    if (bloblen == 0) return "Failed to read 0 bytes from " + path;

    HuffmanCodec codec;
    int64_t stream_length = codec.set_blob(file + kFileHeaderSize, bloblen);
    if (stream_length < 0) return corrupt(path, codec.error());
    out->stream.resize(static_cast<size_t>(stream_length));
    int32_t decoded = 0;
    if (!codec.decompress(out->stream.data(), &decoded)) return corrupt(path, codec.error());
    return walk_chunks(path, out);
}

}  // namespace DataArchive

namespace DataFile {

bool archive_read() { return state().archive_read; }

void read_archive_bytes(const std::string& path, const uint8_t* bytes, size_t length) {
    DataArchive::Parsed parsed;
    std::string error = DataArchive::parse(bytes, length, path, &parsed);
    if (!error.empty()) FATAL_ERROR(error);
    for (const DataArchive::Chunk& chunk : parsed.chunks) {
        auto entry = std::make_unique<DataFileEntry>();
        entry->name = chunk.name;
        entry->size = static_cast<int32_t>(chunk.size);
        entry->data = allocate_block(chunk.size);
        if (!entry->data) FATAL_ERROR("Failed to allocate memory for data chunk!");
        if (chunk.size > 0) std::memcpy(entry->data, &parsed.stream[chunk.offset], chunk.size);
        entries().push_back(std::move(entry));
    }
}

void read_archive(const std::string& path) {
    if (state().archive_read) return;
    if (get_mode() != DataFileMode::Read) {
        state().archive_read = true;
        return;
    }
    state().archive_path = path;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        // The error names only the file; say where it was looked for, since
        // a relative name is read from the folder the program was started in.
        const int error = errno;
        std::error_code ignored;
        const std::filesystem::path where = std::filesystem::absolute(path, ignored);
        const std::string folder = where.parent_path().string();
        const std::string why =
            std::string(" (") + std::strerror(error) + "); the program reads it from the folder it is started in";
        LOG_INFO("[DATA] Can't open " << where.filename().string() << " in " << folder << why << "\n");
        // The box, which is all that a user started from a desktop sees, says
        // where too.
        FATAL_ERROR("Failed to open data file " << path << " for reading.\nIt was looked for in " << folder << why
                                                << ".");
    }
    fseeko(file, 0, SEEK_END);
    int64_t length = ftello(file);
    std::rewind(file);
    if (length <= 0) {
        std::fclose(file);
        FATAL_ERROR(DataArchive::in_archive("Negative or zero file length: " + std::to_string(length), path));
    }
    if (length > 0x7FFFFFFF) {
        std::fclose(file);
        FATAL_ERROR("File " << path << " is too large to load (" << length << " bytes)");
    }
    std::vector<uint8_t> bytes(static_cast<size_t>(length));
    size_t got = std::fread(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    if (got != bytes.size()) bytes.resize(got);
    read_archive_bytes(path, bytes.data(), bytes.size());
    state().archive_read = true;
}

namespace {

// The chunk stream of the table, written to the staging file.
void write_chunks(FILE* staging) {
    for (const std::unique_ptr<DataFileEntry>& entry : entries()) {
        LOG_INFO("..file: " << entry->name << ", " << entry->size << " bytes\n");
        uint8_t header[DataArchive::kChunkHeaderSize];
        DataArchive::put_chunk_header(header, static_cast<uint32_t>(entry->name.size()),
                                      static_cast<uint32_t>(entry->size));
        if (std::fwrite(header, DataArchive::kChunkTagSize, 1, staging) != 1)
            FATAL_ERROR("Failed to write chunk header!");
        if (std::fwrite(header + 7, 4, 1, staging) != 1) FATAL_ERROR("Failed to write fname_length!");
        if (std::fwrite(header + 11, 4, 1, staging) != 1) FATAL_ERROR("Failed to write chunk size!");
        if (!entry->name.empty() && std::fwrite(entry->name.data(), entry->name.size(), 1, staging) != 1)
            FATAL_ERROR("Failed to write filename!");
        if (entry->size > 0 && std::fwrite(entry->data, static_cast<size_t>(entry->size), 1, staging) != 1)
            FATAL_ERROR("Failed to write chunk!");
    }
}

// The staged chunk stream, read back whole.
std::vector<uint8_t> read_back(FILE* staging, const std::string& path) {
    fseeko(staging, 0, SEEK_END);
    int64_t length = ftello(staging);
    std::rewind(staging);
    if (length <= 0) FATAL_ERROR("Negative or zero file length: " << length);
    // The blob must stay within a 32-bit signed length.
    if (length > 0x7FFFFFFF - static_cast<int64_t>(HuffmanCodec::max_blob_size(0)))
        FATAL_ERROR("Datafile " << path << " would be too large (" << length << " bytes of files)");
    std::vector<uint8_t> stream(static_cast<size_t>(length));
    if (std::fread(stream.data(), stream.size(), 1, staging) != 1)
        FATAL_ERROR("Failed to read " << length << " bytes from " << path);
    return stream;
}

// Writes header and blob to a new file beside `path` and renames it over
// `path`. On any failure the new file is removed and the old archive stays.
void replace_archive(const std::string& path, const uint8_t* blob, size_t bloblen) {
    std::string new_name;
    FILE* out = platform::create_unique_file(path + ".", &new_name);
    if (!new_name.empty()) state().temp_files.push_back(new_name);
    if (!out) FATAL_ERROR("Failed to open data file " << path << " for writing");
    auto give_up = [&](const char* message, bool close) {
        if (close) std::fclose(out);
        std::remove(new_name.c_str());
        FATAL_ERROR(message);
    };
    const uint8_t major = DataArchive::kMajorVersion, minor = DataArchive::kMinorVersion;
    if (std::fwrite(DataArchive::kHeaderText, DataArchive::kHeaderTextSize, 1, out) != 1)
        give_up("Failed to write header!", true);
    if (std::fwrite(&major, 1, 1, out) != 1) give_up("Failed to write major version!", true);
    if (std::fwrite(&minor, 1, 1, out) != 1) give_up("Failed to write minor version!", true);
    if (std::fwrite(blob, bloblen, 1, out) != 1) give_up("Failed to write file contents!", true);
    platform::give_ordinary_permissions(out);
    if (!platform::close_synced(out)) give_up("Failed to write file contents!", false);
    if (!platform::replace_file(new_name, path)) {
        std::remove(new_name.c_str());
        FATAL_ERROR("Failed to replace data file " << path << " with " << new_name);
    }
}

void log_statistics(const std::string& path, int64_t original, int64_t compressed) {
    LOG_INFO("Done writing datafile \"" << path << "\" of " << std::fixed << std::setprecision(2)
                                        << static_cast<float>(compressed) / 1048576.0f << " MB!\n");
    LOG_INFO(" ..original file size:  " << std::setw(9) << original << " bytes\n");
    LOG_INFO(" ..compressed file size:" << std::setw(9) << compressed << " bytes\n");
    LOG_INFO(" ..lost in compression: " << std::setw(9) << original - compressed << " bytes\n");
    float rate = static_cast<float>(original - compressed) * 100.0f / static_cast<float>(original);
    // The log prints its text as it stands: one percent sign.
    LOG_INFO(" ..compression rate:    " << std::setw(9) << std::fixed << std::setprecision(2) << rate << " %\n");
}

}  // namespace

void write_archive(const std::string& path) {
    if (get_mode() != DataFileMode::Write) return;
    LOG_INFO("Writing datafile " << path << "\n");

    std::string staging_name;
    FILE* staging = platform::create_unique_file(platform::temp_folder() + "/tlx", &staging_name);
    if (!staging_name.empty()) state().temp_files.push_back(staging_name);
    if (!staging) FATAL_ERROR("Failed to create tmpfile()");
    write_chunks(staging);
    std::vector<uint8_t> stream = read_back(staging, path);
    std::fclose(staging);

    std::unique_ptr<uint8_t, decltype(&std::free)> blob(
        static_cast<uint8_t*>(std::malloc(HuffmanCodec::max_blob_size(stream.size()))), &std::free);
    if (!blob) FATAL_ERROR("Failed to allocate memory for data buffer loading " << path);
    int32_t bloblen = 0;
    HuffmanCodec().compress(blob.get(), &bloblen, stream.data(), static_cast<int32_t>(stream.size()));

    replace_archive(path, blob.get(), static_cast<size_t>(bloblen));
    log_statistics(path, static_cast<int64_t>(stream.size()), bloblen);
}

}  // namespace DataFile
