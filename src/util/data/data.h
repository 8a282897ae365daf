// The data layer: the one path by which every loader reads its files, from
// the disk or from the archive "data.tlx", and the loading screen that every
// load advances.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
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
// length. `extract` has no effect. A directory counts as absent; a file of
// 2 GiB or more ends the run.
char* load(const char* name, const char* open_mode, int32_t* length, bool text, bool extract);

// The same for gzip files: the inflated bytes. Read mode serves the table
// (which holds inflated bytes) exactly as load does.
char* load_gzip(const char* name, const char* open_mode, int32_t* length, bool text);

// The disk read alone: records nothing, advances nothing.
char* read_disk_file(const char* name, const char* open_mode, int32_t* length, bool text);

// Whether a load of the name would find it: the archive table in Read mode,
// the disk otherwise (a directory counts as absent). Reads, records, marks
// and advances nothing.
bool exists(const char* name);

// Read mode: marks the archive entry as used and advances the loading
// screen. A name the archive lacks ends the run: it names a file that a part
// will read only later, which must be there before the show starts.
void mark_used(const char* name);

// Why a load of the name finds nothing, for a message: in Read mode that the
// archive lacks it, on the disk the system's reason (or that it is a folder).
std::string absence_reason(const char* name);

// A failed read's message, worded the one way every reader words it: the
// system's own text first, then the file (unless the text names it already)
// and the reason, ahead of the line feeds that close the text, so that all
// of it reads as one message: "<text> (<file>): <reason>\n". An empty file
// or reason is left out.
std::string failure_message(const std::string& text, const std::string& file, const std::string& reason);
// The same for a load that found nothing, with absence_reason as the reason.
std::string absence_message(const std::string& text, const std::string& file);

// Bytes of a damaged file as a message shows them: printable ones as they
// are, a backslash doubled, every other byte as \xNN.
std::string printable(const uint8_t* bytes, size_t size);

// The archive table, in the order of addition.
std::vector<std::unique_ptr<DataFileEntry>>& entries();

// Set by the loading screen's fade-out; from then on loads of new names are
// late.
bool loading_finished();
void set_loading_finished(bool finished);

// Read mode: fills the table from the archive at `path`, once per process
// (in other modes it only notes that it ran). A missing, damaged or
// truncated archive ends the run.
void read_archive(const std::string& path);
bool archive_read();

// The reading of an archive already in memory: fills the table or ends the
// run naming `path`; nothing is added to the table unless all of it is good.
void read_archive_bytes(const std::string& path, const uint8_t* bytes, size_t length);

// Write mode: packs the table into a new archive at `path`. The archive is
// built beside it and renamed over it, so a failed write leaves the previous
// archive as it was.
void write_archive(const std::string& path);

// Temporary files made by the data layer, deleted at the end of the run and
// on Escape during loading (failures ignored; the list is kept).
const std::vector<std::string>& temp_files();
void remove_temp_files();

// Read mode: writes every archive entry whose name contains "mp3" to the
// current folder, announcing each in a message box.
void export_mp3();

// The output name of an exported entry: the part after the last "/", or
// when there is none after the last "\\".
std::string export_name(const std::string& entry_name);

// Puts the whole layer back to its state at process start, its temporary
// files removed (tests).
void reset();

}  // namespace DataFile
