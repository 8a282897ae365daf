// The program's real start-up, loading screen, show and shut-down, with a
// test's own loading work in place of the scenes: it loads the files named
// in a list, one after the other, pausing after each as a scene's set-up
// would, so that loading lasts as long as a test needs to watch it. The
// setup dialog is skipped: the show runs in an 800 x 600 window.
//
//   loading_driver <production> <data mode> <file list> <milliseconds per file>
//
// For the e2e tests of the loading screen.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <GL/glew.h>

#include "program.h"
#include "system/setup_dialog.h"
#include "system/window.h"
#include "system/zemblasystem.h"
#include "util/data/data.h"
#include "util/data/loadingscreen.h"

namespace {

const char* const kShowRunning = "The show runs";

class ClearingFrames : public WindowClient {
public:
    void frame() override {
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        swap_buffers();
    }
};

class LoadingDriverSteps : public SystemProgramSteps {
public:
    LoadingDriverSteps(std::vector<std::string> files, int pause_ms)
        : files_(std::move(files)), pause_ms_(pause_ms) {}

    int show_setup_dialog() override {
        ZemblaSystem::width = 800;
        ZemblaSystem::height = 600;
        ZemblaSystem::fullscreen = 0;
        ZemblaSystem::vsync = 0;
        return SetupDialogId::Run;
    }

    void create_scene_manager() override {
        for (const std::string& name : files_) {
            int32_t length = 0;
            std::free(DataFile::load(name.c_str(), "rb", &length, false, false));
            std::this_thread::sleep_for(std::chrono::milliseconds(pause_ms_));
        }
    }

    // No scene manager: the show is the loading screen's fade-out, then
    // frames that clear the window until Escape. The line tells a test
    // watching the run that the loading screen is over.
    void start_show() override { LoadingScreen::fade_out(); }
    void run_message_loop() override {
        std::printf("%s\n", kShowRunning);
        ClearingFrames frames;
        ::run_message_loop(&frames);
    }
    void delete_scene_manager() override {}

private:
    std::vector<std::string> files_;
    int pause_ms_;
};

}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s <production> <data mode> <file list> <milliseconds per file>\n",
                     argv[0]);
        return 2;
    }
    ZemblaSystem::production = std::atoi(argv[1]);
    ZemblaSystem::data_mode = std::atoi(argv[2]);
    std::vector<std::string> files;
    std::ifstream list(argv[3]);
    for (std::string line; std::getline(list, line);)
        if (!line.empty()) files.push_back(line);
    LoadingDriverSteps steps(files, std::atoi(argv[4]));
    return run_program(steps);
}
