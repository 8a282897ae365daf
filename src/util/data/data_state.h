// The data layer's module state, shared by its source files.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "util/data/data.h"

namespace DataFile {

struct State {
    int mode = 0;
    bool loading_finished = false;
    bool archive_read = false;
    std::string archive_path;              // the archive read, in Read mode
    std::vector<std::unique_ptr<DataFileEntry>> entries;  // never removed during a run
    std::vector<std::string> temp_files;   // in order of creation
};

State& state();

// A malloc block of `length` bytes and one zero byte after them, not
// counted: a text load of bytes recorded by a binary load still ends in a
// terminator. Null when the memory is not there.
char* allocate_block(size_t length);

}  // namespace DataFile
