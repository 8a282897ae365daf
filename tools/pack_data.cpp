// pack_data: the archive-write run of one production, for the build.
//
//   pack_data <name>           packs production <name> (a row of the table)
//   pack_data --check <name>   says whether it can be packed: status 0 when
//                              every scene of its list is part of the
//                              program, 3 when not (needs no display)
//
// Started in the production's run directory (its data/ folder there), it runs
// the program's own start-up in archive-write mode: window, loading screen,
// every scene of the production loaded, then "data.tlx" written beside
// data/. The build has no one to answer questions, so it skips the setup
// dialog (a windowed Run), plays no show, and puts message boxes and a fatal
// error on the console instead of on the screen.
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/message_box.h"
#include "program.h"
#include "scenes/production_scenes.h"
#include "system/fatal.h"
#include "system/productions.h"
#include "system/setup_dialog.h"
#include "system/zemblasystem.h"
#include "util/data/data.h"

namespace {

class PackSteps : public SystemProgramSteps {
public:
    int show_setup_dialog() override {
        ZemblaSystem::width = 640;
        ZemblaSystem::height = 360;
        ZemblaSystem::fullscreen = 0;
        ZemblaSystem::vsync = 0;
        ZemblaSystem::samples = 1;  // what the dialog sets for no anti-aliasing
        ZemblaSystem::data_mode = DataFileMode::Write;
        return SetupDialogId::Run;
    }
    // The archive is written once the scenes are loaded; the show is not
    // needed for it.
    void start_show() override {}
    void run_message_loop() override {}
};

constexpr int kNotPlayable = 3;

}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const bool check = argc == 3 && std::strcmp(argv[1], "--check") == 0;
    if (argc != 2 && !check) {
        std::fprintf(stderr, "usage: pack_data [--check] <production name>\n");
        return 2;
    }
    const std::string name = argv[argc - 1];
    const ProductionRow* row = find_production(name);
    if (!row) {
        std::fprintf(stderr, "No production named %s.\n", name.c_str());
        return 2;
    }
    ZemblaSystem::production = row->id;
    if (!production_playable(row->id)) {
        std::fprintf(stderr, "%s cannot be played yet: its scenes %s are not part of the program\n", name.c_str(),
                     missing_scene_classes(*production_scene_list(row->id)).c_str());
        return kNotPlayable;
    }
    if (check) return 0;

    platform::set_message_boxes_unattended();
    fatal::set_handler([](const fatal::Report& report) {
        std::fprintf(stderr, "ERROR: %s\n", report.message.c_str());
    });
    PackSteps steps;
    int status = run_program(steps);
    if (status == 0) LOG_INFO("Wrote " << ZemblaSystem::data_file << " for " << ZemblaSystem::title << "\n");
    return status;
}
