// Shared by the data-layer tests: a fresh data layer in an empty folder, and
// a loading screen whose clock, keys and drawing the test controls.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/test_support.h"
#include "util/data/data.h"
#include "util/data/loadingscreen.h"

namespace data_test {

// Raised in place of ending the process on Escape.
struct ProcessExit {
    int status;
};

// What the fake loading-screen services saw.
struct FakeScreen {
    uint64_t now = 1000;
    uint64_t step = 0;             // added to the clock after every reading
    uint64_t advance_on_draw = 0;  // added to the clock by every redraw
    bool escape = false;
    int polls = 0;      // one per tick that was not inert
    int drains = 0;
    int clears = 0;
    int presents = 0;
    struct Draw {
        int style;
        float alpha;
        int width, height, done, total;
    };
    std::vector<Draw> draws;
    std::vector<ViewportRect> viewports;

    LoadingScreen::Services services() {
        LoadingScreen::Services s;
        s.now_ms = [this] {
            uint64_t t = now;
            now += step;
            return t;
        };
        s.escape_pressed = [this] {
            ++polls;
            return escape;
        };
        s.drain_messages = [this] { ++drains; };
        s.clear_all = [this] { ++clears; };
        s.set_viewport = [this](const ViewportRect& v) { viewports.push_back(v); };
        s.draw = [this](int style, float alpha, int w, int h, int done, int total) {
            draws.push_back({style, alpha, w, h, done, total});
            now += advance_on_draw;
        };
        s.present = [this] { ++presents; };
        s.exit_process = [](int status) { throw ProcessExit{status}; };
        return s;
    }
};

// Adds an entry to the archive table as the archive reader would.
inline void add_entry(const std::string& name, const std::string& bytes) {
    auto entry = std::make_unique<DataFileEntry>();
    entry->name = name;
    entry->size = static_cast<int32_t>(bytes.size());
    entry->data = static_cast<char*>(std::malloc(bytes.size() + 1));
    std::memcpy(entry->data, bytes.data(), bytes.size());
    DataFile::entries().push_back(std::move(entry));
}

inline void write_file(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Runs in an empty folder with a "data" folder, the data layer as at
// process start, and a loading screen that is set up on the fake services.
class DataLayerTest : public ::testing::Test {
protected:
    DataLayerTest() : chdir_(dir_.path()) {
        DataFile::reset();
        LoadingScreen::reset();
        LoadingScreen::set_services(screen_.services());
        std::filesystem::create_directory("data");
    }
    ~DataLayerTest() override {
        DataFile::reset();
        LoadingScreen::reset();
        test_support::clear_boxes();
    }

    // Sets the loading screen up, as start-up does before the first load.
    void set_up_screen() {
        LoadingScreen::setup(1280, 720, 16.0f / 9.0f);
        screen_.polls = 0;
    }

    // Ticks that reached the loading screen since the last call.
    int ticks() {
        int n = screen_.polls;
        screen_.polls = 0;
        return n;
    }

    test_support::TempDir dir_;
    test_support::ScopedChdir chdir_;
    FakeScreen screen_;
};

}  // namespace data_test
