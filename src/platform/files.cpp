#include "platform/files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <vector>

namespace platform {

bool regular_file_size(const std::string& path, int64_t* size) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    *size = static_cast<int64_t>(st.st_size);
    return true;
}

std::string temp_folder() {
    const char* dir = std::getenv("TMPDIR");
    return dir && *dir ? dir : "/tmp";
}

FILE* create_unique_file(const std::string& prefix, std::string* name) {
    name->clear();
    std::string pattern = prefix + "XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    int fd = mkstemp(buffer.data());
    if (fd < 0) return nullptr;
    *name = buffer.data();
    FILE* file = fdopen(fd, "wb+");
    if (!file) close(fd);
    return file;
}

bool give_ordinary_permissions(FILE* file) {
    mode_t mask = umask(0);
    umask(mask);
    return fchmod(fileno(file), 0666 & ~mask) == 0;
}

bool close_synced(FILE* file) {
    bool ok = std::fflush(file) == 0;
    ok = fsync(fileno(file)) == 0 && ok;
    ok = std::fclose(file) == 0 && ok;
    return ok;
}

bool replace_file(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}

void keep_running_past_file_size_limit() { std::signal(SIGXFSZ, SIG_IGN); }

}  // namespace platform
