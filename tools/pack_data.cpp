// pack_data: the archive-write run of one production, for the build.
//
// Started in the production's run directory (its data/ folder there), it runs
// the program's own start-up in archive-write mode: window, loading screen,
// every scene of the production loaded, then "data.tlx" written beside
// data/. The build has no one to answer questions, so it skips the setup
// dialog (a windowed Run), plays no show, and puts message boxes and a fatal
// error on the console instead of on the screen. Each production links its
// own copy, like the program itself.
#include <cstdio>

#include "platform/message_box.h"
#include "program.h"
#include "system/fatal.h"
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

platform::MessageBoxAnswer print_box(const std::string& caption, const std::string& text,
                                     platform::MessageBoxKind) {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    return platform::MessageBoxAnswer::Ok;
}

}  // namespace

int main() {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    platform::set_message_box_handler(print_box);
    fatal::set_handler([](const fatal::Report& report) {
        std::fprintf(stderr, "ERROR: %s\n", report.message.c_str());
    });
    PackSteps steps;
    int status = run_program(steps);
    if (status == 0) LOG_INFO("Wrote " << ZemblaSystem::data_file << " for " << ZemblaSystem::title << "\n");
    return status;
}
