// The data layer: the one path by which every loader reads its files, from
// the disk or from the archive "data.tlx", and the loading screen that every
// load advances.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The data layer's mode; any value other than Read and Write reads the plain
// disk.
namespace DataFileMode {
enum : int { Plain = 0, Read = 1, Write = 2 };
}

// One file of the archive table.
struct DataFileEntry {
    std::string name;      // exactly as the loader passed it
    int32_t size = 0;      // bytes in data (a text load counts its zero byte)
    char* data = nullptr;  // malloc block owned by the entry
    bool used = false;     // found by a Read-mode load or mark_used
};

namespace DataFile {

void set_mode(int mode);
int get_mode();

// The bytes of a file as a malloc block the caller frees, or null (length 0)
// when the file is absent. `text` appends one zero byte, counted in the
// length. `extract` has no effect.
char* load(const char* name, const char* open_mode, int32_t* length, bool text, bool extract);

// The disk read alone: records nothing, advances nothing.
char* read_disk_file(const char* name, const char* open_mode, int32_t* length, bool text);

// Read mode: marks the archive entry as used and advances the loading screen.
void mark_used(const char* name);

// The archive table, in the order of addition.
std::vector<DataFileEntry*>& entries();

// Set by the loading screen's fade-out; from then on loads of new names are
// late.
bool loading_finished();
void set_loading_finished(bool finished);

}  // namespace DataFile
