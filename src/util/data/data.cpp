#include "util/data/data.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "system/fatal.h"
#include "util/data/loadingscreen.h"

namespace DataFile {
namespace {

int mode = 0;
bool finished = false;

// Advances the loading screen after a load.
void advance() { LoadingScreen::tick(1.0f, false); }

// The table entry of that name, or null. Two entries of one name are fatal.
DataFileEntry* find_entry(const char* name) {
    DataFileEntry* found = nullptr;
    for (DataFileEntry* entry : entries()) {
        if (entry->name != name) continue;
        if (found)
            FATAL_ERROR("Ouch, found more than one entry for " << name
                                                               << " in datafile. Duplicates make no sense here.");
        found = entry;
    }
    return found;
}

}  // namespace

void set_mode(int m) { mode = m; }
int get_mode() { return mode; }

std::vector<DataFileEntry*>& entries() {
    static std::vector<DataFileEntry*> table;
    return table;
}

bool loading_finished() { return finished; }
void set_loading_finished(bool f) { finished = f; }

char* read_disk_file(const char* name, const char* open_mode, int32_t* length, bool text) {
    *length = 0;
    // A directory named like a data file counts as absent.
    struct stat st {};
    if (stat(name, &st) != 0 || S_ISDIR(st.st_mode)) return nullptr;
    FILE* file = std::fopen(name, open_mode);
    if (!file) return nullptr;

    std::fseek(file, 0, SEEK_END);
    long flength = std::ftell(file);
    std::rewind(file);
    if (flength < 0 || flength >= 0x7FFFFFFFL) {
        std::fclose(file);
        FATAL_ERROR("File " << name << " is too large to load (" << flength << " bytes)");
    }

    size_t extra = text ? 1 : 0;
    char* buffer = static_cast<char*>(std::malloc(static_cast<size_t>(flength) + extra));
    if (!buffer) FATAL_ERROR("Failed to allocate memory for loading " << name);

    long fread_ret = static_cast<long>(std::fread(buffer, 1, static_cast<size_t>(flength), file));
    std::fclose(file);
    if (fread_ret <= 0) {
        std::free(buffer);
        FATAL_ERROR("Tried to read " << flength << " bytes from " << name << ", got " << fread_ret);
    }
    if (fread_ret > flength) FATAL_ERROR("flength < fread_ret, should not happen!");
    if (fread_ret < flength) {
        char* copy = static_cast<char*>(std::malloc(static_cast<size_t>(fread_ret) + extra));
        if (!copy) FATAL_ERROR("copybuffer is NULL");
        std::memcpy(copy, buffer, static_cast<size_t>(fread_ret));
        std::free(buffer);
        buffer = copy;
    }
    if (text) buffer[fread_ret] = 0;
    *length = static_cast<int32_t>(fread_ret + static_cast<long>(extra));
    return buffer;
}

char* load(const char* name, const char* open_mode, int32_t* length, bool text, bool /*extract*/) {
    *length = 0;
    if (mode == DataFileMode::Read) {
        DataFileEntry* entry = find_entry(name);
        if (!entry) return nullptr;
        char* copy = static_cast<char*>(std::malloc(entry->size > 0 ? entry->size : 1));
        if (!copy) FATAL_ERROR("tmpbuffer is NULL");
        if (entry->size > 0) std::memcpy(copy, entry->data, static_cast<size_t>(entry->size));
        *length = entry->size;
        entry->used = true;
        advance();
        return copy;
    }

    char* bytes = read_disk_file(name, open_mode, length, text);
    if (!bytes) return nullptr;

    if (mode == DataFileMode::Write) {
        if (find_entry(name)) {
            if (!finished) LOG_INFO("[DATA] Skipping duplicate entry for " << name << "\n");
            return bytes;
        }
        if (finished) {
            std::free(bytes);
            FATAL_ERROR("Uh-oh! Tried to load file " << name << " after datafile is written!");
        }
        auto* entry = new DataFileEntry;
        entry->name = name;
        entry->size = *length;
        entry->data = static_cast<char*>(std::malloc(static_cast<size_t>(*length)));
        if (!entry->data) FATAL_ERROR("copybuffer is NULL");
        std::memcpy(entry->data, bytes, static_cast<size_t>(*length));
        entries().push_back(entry);
    }
    advance();
    return bytes;
}

void mark_used(const char* name) {
    if (mode != DataFileMode::Read) return;
    if (DataFileEntry* entry = find_entry(name)) entry->used = true;
    advance();
}

}  // namespace DataFile
