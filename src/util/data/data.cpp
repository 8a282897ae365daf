#include "util/data/data.h"

#include <sys/stat.h>
#include <zlib.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/files.h"
#include "platform/message_box.h"
#include "system/fatal.h"
#include "util/data/data_state.h"
#include "util/data/loadingscreen.h"

namespace DataFile {
namespace {

// The largest length a load can hand out: the int32 length must hold it
// together with a text load's zero byte.
constexpr int64_t kMaxFileLength = 0x7FFFFFFF - 1;

// Advances the loading screen after a load.
void advance() { LoadingScreen::tick(1.0f, false); }

// The table entry of that name, or null. Two entries of one name are fatal.
DataFileEntry* find_entry(const char* name) {
    DataFileEntry* found = nullptr;
    for (const std::unique_ptr<DataFileEntry>& entry : entries()) {
        if (entry->name != name) continue;
        if (found)
            FATAL_ERROR("Ouch, found more than one entry for " << name
                                                               << " in datafile. Duplicates make no sense here.");
        found = entry.get();
    }
    return found;
}

// Read mode: a fresh copy of the entry's bytes, or null when the table has
// no such name.
char* serve_from_table(const char* name, int32_t* length) {
    DataFileEntry* entry = find_entry(name);
    if (!entry) return nullptr;
    char* copy = allocate_block(static_cast<size_t>(entry->size));
    if (!copy) FATAL_ERROR("tmpbuffer is NULL");
    if (entry->size > 0) std::memcpy(copy, entry->data, static_cast<size_t>(entry->size));
    *length = entry->size;
    entry->used = true;
    advance();
    return copy;
}

// Write mode: records the first load of a name and advances the loading
// screen; a later load of the same name is skipped (logged while
// `log_late_duplicates` or loading goes on); a new name after loading has
// finished ends the run.
void record(const char* name, const char* bytes, int32_t length, bool log_late_duplicates) {
    if (find_entry(name)) {
        if (!loading_finished() || log_late_duplicates)
            LOG_INFO("[DATA] Skipping duplicate entry for " << name << "\n");
        return;
    }
    if (loading_finished()) FATAL_ERROR("Uh-oh! Tried to load file " << name << " after datafile is written!");
    auto entry = std::make_unique<DataFileEntry>();
    entry->name = name;
    entry->size = length;
    entry->data = allocate_block(static_cast<size_t>(length));
    if (!entry->data) FATAL_ERROR("copybuffer is NULL");
    std::memcpy(entry->data, bytes, static_cast<size_t>(length));
    entries().push_back(std::move(entry));
    advance();
}

// What a disk-mode load does after a successful read.
char* after_disk_read(const char* name, char* bytes, int32_t length, bool log_late_duplicates) {
    if (get_mode() == DataFileMode::Write)
        record(name, bytes, length, log_late_duplicates);
    else
        advance();
    return bytes;
}

void refuse_large_file(const char* name, int64_t length) {
    FATAL_ERROR("File " << name << " is too large to load (" << length << " bytes)");
}

}  // namespace

State& state() {
    // Never destroyed: the archive table's entries stay reachable until the
    // process ends (a destroyed table would leave them leaked at exit), and
    // exit hooks that run after static destructors still find the state.
    static State* s = new State;
    return *s;
}

char* allocate_block(size_t length) {
    char* block = static_cast<char*>(std::malloc(length + 1));
    if (block) block[length] = 0;
    return block;
}

void set_mode(int m) { state().mode = m; }
int get_mode() { return state().mode; }

std::vector<std::unique_ptr<DataFileEntry>>& entries() { return state().entries; }

bool loading_finished() { return state().loading_finished; }
void set_loading_finished(bool f) { state().loading_finished = f; }

char* read_disk_file(const char* name, const char* open_mode, int32_t* length, bool text) {
    *length = 0;
    int64_t stat_length = 0;
    if (!platform::regular_file_size(name, &stat_length)) return nullptr;
    FILE* file = std::fopen(name, open_mode);
    if (!file) return nullptr;

    fseeko(file, 0, SEEK_END);
    int64_t flength = ftello(file);
    std::rewind(file);
    if (flength > kMaxFileLength) {
        std::fclose(file);
        refuse_large_file(name, flength);
    }
    if (flength < 0) flength = 0;

    size_t extra = text ? 1 : 0;
    char* buffer = allocate_block(static_cast<size_t>(flength) + extra);
    if (!buffer) FATAL_ERROR("Failed to allocate memory for loading " << name);

    int64_t fread_ret = static_cast<int64_t>(std::fread(buffer, 1, static_cast<size_t>(flength), file));
    std::fclose(file);
    if (fread_ret <= 0) {
        std::free(buffer);
        FATAL_ERROR("Tried to read " << flength << " bytes from " << name << ", got " << fread_ret);
    }
    if (fread_ret > flength) FATAL_ERROR("flength < fread_ret, should not happen!");
    if (fread_ret < flength) {
        char* copy = allocate_block(static_cast<size_t>(fread_ret) + extra);
        if (!copy) FATAL_ERROR("copybuffer is NULL");
        std::memcpy(copy, buffer, static_cast<size_t>(fread_ret));
        std::free(buffer);
        buffer = copy;
    }
    if (text) buffer[fread_ret] = 0;
    *length = static_cast<int32_t>(fread_ret + static_cast<int64_t>(extra));
    return buffer;
}

char* load(const char* name, const char* open_mode, int32_t* length, bool text, bool /*extract*/) {
    *length = 0;
    if (get_mode() == DataFileMode::Read) return serve_from_table(name, length);
    char* bytes = read_disk_file(name, open_mode, length, text);
    if (!bytes) return nullptr;
    return after_disk_read(name, bytes, *length, false);
}

namespace {

// The gzip trailer's size field (the inflated length modulo 2^32), or false
// when the file is too short to have one.
bool read_gzip_trailer(FILE* file, uint32_t* isize) {
    uint8_t b[4];
    if (fseeko(file, 0, SEEK_END) != 0 || ftello(file) < 4) return false;
    if (fseeko(file, -4, SEEK_END) != 0 || std::fread(b, 1, 4, file) != 4) return false;
    *isize = static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 | static_cast<uint32_t>(b[2]) << 16 |
             static_cast<uint32_t>(b[3]) << 24;
    return true;
}

// Inflates the whole file, every member to the end, into a growing block.
// Returns the number of bytes (or the gzip reader's negative result) and the
// block in *out.
int64_t inflate_all(gzFile gz, const char* name, size_t extra, char** out) {
    size_t capacity = 1 << 16;
    char* block = static_cast<char*>(std::malloc(capacity + extra + 1));
    if (!block) FATAL_ERROR("Failed to allocate memory for loading " << name);
    int64_t total = 0;
    for (;;) {
        if (static_cast<size_t>(total) == capacity) {
            size_t grown = capacity * 2;
            char* bigger = static_cast<char*>(std::realloc(block, grown + extra + 1));
            if (!bigger) {
                std::free(block);
                FATAL_ERROR("Failed to allocate memory for loading " << name);
            }
            block = bigger;
            capacity = grown;
        }
        int got = gzread(gz, block + total, static_cast<unsigned>(capacity - static_cast<size_t>(total)));
        if (got < 0) {
            std::free(block);
            *out = nullptr;
            return got;
        }
        if (got == 0) {
            // A stream cut short reads as an end with an error noted.
            int error = Z_OK;
            gzerror(gz, &error);
            if (error != Z_OK) {
                std::free(block);
                *out = nullptr;
                return -1;
            }
            break;
        }
        total += got;
        if (total > kMaxFileLength) {
            std::free(block);
            gzclose(gz);
            refuse_large_file(name, total);
        }
    }
    *out = block;
    return total;
}

}  // namespace

char* load_gzip(const char* name, const char* open_mode, int32_t* length, bool text) {
    *length = 0;
    if (get_mode() == DataFileMode::Read) return serve_from_table(name, length);

    int64_t file_length = 0;
    if (!platform::regular_file_size(name, &file_length)) return nullptr;
    FILE* file = std::fopen(name, open_mode);
    if (!file) return nullptr;
    uint32_t isize = 0;
    bool has_trailer = read_gzip_trailer(file, &isize);
    std::fclose(file);
    // A file too short for the trailer fails as a read that returns nothing.
    if (!has_trailer) FATAL_ERROR("Something went wrong reading from " << name << ", we got return value " << 0);

    gzFile gz = gzopen(name, open_mode);
    if (!gz) FATAL_ERROR("Argh, failed to open " << name);
    size_t extra = text ? 1 : 0;
    char* bytes = nullptr;
    int64_t got = inflate_all(gz, name, extra, &bytes);
    gzclose(gz);
    if (got <= 0) {
        std::free(bytes);
        FATAL_ERROR("Something went wrong reading from " << name << ", we got return value " << got);
    }
    if (got != static_cast<int64_t>(isize)) {
        std::free(bytes);
        FATAL_ERROR("[TODO/FIXME] (gzip) flength of " << isize << " does not match " << got << "\n");
    }
    bytes[got] = 0;
    bytes[got + static_cast<int64_t>(extra)] = 0;
    *length = static_cast<int32_t>(got + static_cast<int64_t>(extra));
    return after_disk_read(name, bytes, *length, true);
}

bool exists(const char* name) {
    if (get_mode() == DataFileMode::Read) return find_entry(name) != nullptr;
    int64_t length = 0;
    return platform::regular_file_size(name, &length);
}

void mark_used(const char* name) {
    if (get_mode() != DataFileMode::Read) return;
    DataFileEntry* entry = find_entry(name);
    if (!entry) FATAL_ERROR("Failed to find " << name << ": " << absence_reason(name));
    entry->used = true;
    advance();
}

std::string absence_reason(const char* name) {
    if (get_mode() == DataFileMode::Read)
        return "not in the data file " + (state().archive_path.empty() ? std::string("(none read)") : state().archive_path);
    struct stat st {};
    if (stat(name, &st) != 0) return std::strerror(errno);
    if (S_ISDIR(st.st_mode)) return "a folder, not a file";
    return "not a regular file";
}

std::string failure_message(const std::string& text, const std::string& file, const std::string& reason) {
    const size_t body_end = text.find_last_not_of('\n') + 1;  // 0 for a text of line feeds only
    std::string message = text.substr(0, body_end);
    if (!file.empty() && text.find(file) == std::string::npos) message += " (" + file + ")";
    if (!reason.empty()) message += ": " + reason;
    return message + text.substr(body_end);
}

std::string absence_message(const std::string& text, const std::string& file) {
    return failure_message(text, file, absence_reason(file.c_str()));
}

std::string printable(const uint8_t* bytes, size_t size) {
    static const char kHex[] = "0123456789abcdef";
    std::string text;
    for (size_t n = 0; n < size; ++n) {
        const uint8_t b = bytes[n];
        if (b == '\\')
            text += "\\\\";
        else if (b >= 0x20 && b < 0x7F)
            text += static_cast<char>(b);
        else
            text += {'\\', 'x', kHex[b >> 4], kHex[b & 15]};
    }
    return text;
}

const std::vector<std::string>& temp_files() { return state().temp_files; }

void remove_temp_files() {
    for (const std::string& name : state().temp_files) std::remove(name.c_str());
}

std::string export_name(const std::string& entry_name) {
    size_t slash = entry_name.rfind('/');
    if (slash != std::string::npos) return entry_name.substr(slash + 1);
    size_t backslash = entry_name.rfind('\\');
    if (backslash != std::string::npos) return entry_name.substr(backslash + 1);
    return entry_name;
}

void export_mp3() {
    int mode = get_mode();
    FATAL_ASSERT_EQ(DataFileMode::Read, mode);
    for (const std::unique_ptr<DataFileEntry>& entry : entries()) {
        if (entry->name.find("mp3") == std::string::npos) continue;
        std::string out_name = export_name(entry->name);
        FILE* out = std::fopen(out_name.c_str(), "wb+");
        if (!out) FATAL_ERROR("Failed to create output file for " << out_name);
        size_t size = static_cast<size_t>(entry->size);
        bool written = std::fwrite(entry->data, 1, size, out) == size;
        written = std::fflush(out) == 0 && written;
        written = std::fclose(out) == 0 && written;
        if (!written) FATAL_ERROR("Failed to write output file for " << out_name);
        platform::show_message_box("Success", "Successfully exported " + out_name + " to the current folder",
                                   platform::MessageBoxKind::Plain);
    }
}

void reset() {
    // The temporary files go with the list that names them; a test that
    // forgot them would leave one in the temp folder at every run.
    remove_temp_files();
    State& s = state();
    for (const std::unique_ptr<DataFileEntry>& entry : s.entries) std::free(entry->data);
    s = State{};
}

}  // namespace DataFile
