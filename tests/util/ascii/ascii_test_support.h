// What the character-screen tests share: fixture files in a fresh working
// folder read through the plain-disk data layer, and a tick count that moves
// only when the test says so.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "platform/ticks.h"
#include "support/test_support.h"
#include "util/data/data.h"

namespace ascii_test {

class DataFolder {
public:
    DataFolder() : chdir_(dir_.path()) { DataFile::reset(); }
    ~DataFolder() { DataFile::reset(); }
    void write(const std::string& name, const std::string& bytes) {
        std::ofstream(dir_.file(name), std::ios::binary) << bytes;
    }
    void write(const std::string& name, const std::vector<uint8_t>& bytes) {
        write(name, std::string(bytes.begin(), bytes.end()));
    }

private:
    test_support::TempDir dir_;
    test_support::ScopedChdir chdir_;
};

// The tick count, at `now` until a test moves it; the real clock returns
// when the object goes away.
class ManualTicks {
public:
    explicit ManualTicks(uint32_t start) : now(start) {
        platform::set_tick_source([this] { return now; });
    }
    ~ManualTicks() { platform::set_tick_source(nullptr); }
    uint32_t now;
};

}  // namespace ascii_test
