// The few file services beyond the C library that the data layer needs:
// whether a path is an ordinary file, unique new files, and replacing a file
// in one step.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace platform {

// The size of the ordinary file at `path`; false when there is none (a
// directory or any other kind of file counts as absent).
bool regular_file_size(const std::string& path, int64_t* size);

// The folder for temporary files: TMPDIR, or /tmp.
std::string temp_folder();

// Creates a new file named `prefix` followed by six unique characters,
// atomically and readable only by its owner, and opens it for reading and
// writing ("wb+"). Null when that fails; the name goes to *name either way
// (empty when nothing was created).
FILE* create_unique_file(const std::string& prefix, std::string* name);

// Gives a file the permissions a new file gets from fopen (0666 less the
// process's umask).
bool give_ordinary_permissions(FILE* file);

// Flushes the file to the disk and closes it; false when any step failed.
// The file is closed in every case.
bool close_synced(FILE* file);

// Renames `from` to `to`, replacing `to` in one step (both in one folder).
bool replace_file(const std::string& from, const std::string& to);

// A write past the process's file-size limit (ulimit -f) then fails with
// EFBIG as on a full disk, instead of the signal SIGXFSZ ending the process
// on the spot: the writers keep what they wrote whole (a recording that
// plays, the previous archive) and say why. The program's start-up calls it.
void keep_running_past_file_size_limit();

}  // namespace platform
