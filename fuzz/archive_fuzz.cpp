// Feeds arbitrary bytes to the archive reader as if they were "data.tlx".
// A damaged archive must end the run with a message; here the ending is
// turned into an exception, so every input either fills the table or is
// refused, and neither may touch memory it does not own.
#include <cstddef>
#include <cstdint>
#include <stdexcept>

#include "system/fatal.h"
#include "util/data/data.h"

namespace {

struct Refused : std::runtime_error {
    using std::runtime_error::runtime_error;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool handler_installed = [] {
        fatal::set_handler([](const fatal::Report& report) { throw Refused(report.message); });
        return true;
    }();
    (void)handler_installed;

    DataFile::reset();
    DataFile::set_mode(DataFileMode::Read);
    try {
        DataFile::read_archive_bytes("data.tlx", data, size);
    } catch (const Refused&) {
    }
    DataFile::reset();
    return 0;
}
