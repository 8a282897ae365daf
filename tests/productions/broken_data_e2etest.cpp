// Archives that lack or damage a file a production needs only later in the
// show: the run ends while loading, before the show starts, with the file
// and the reason in its message, and status 1. (A shader piece missing from
// brisken's archive was found 85 s into the show; Korrin's soundtrack cut to
// 1000 bytes ended the show after two seconds with status 0 and no word.)
#include <filesystem>
#include <string>
#include <vector>

#include "support/e2e_display.h"
#include "support/show_run.h"
#include "support/test_support.h"
#include "util/data/data.h"

namespace {

using namespace test_support;
namespace fs = std::filesystem;

struct Breakage {
    const char* what;
    const char* production;
    const char* title;
    const char* file;      // the archive entry taken out or cut short
    size_t keep_bytes;     // 0: the entry is taken out
    const char* message;   // what the run ends with
};

const Breakage kBreakages[] = {
    {"a shader piece missing from brisken's archive", "brisken", "Wembrel - brisken",
     "data/util/objects3d/shaderpieces/body_assign_glowmap.frag", 0,
     "Failed to find data/util/objects3d/shaderpieces/body_assign_glowmap.frag: not in the data file data.tlx"},
    {"Korrin's soundtrack cut to 1000 bytes", "korrin", "Orvenhal Korrin System",
     "data/music/orvenhal-korrin-system-15.mp3", 1000,
     "Failed to create stream chan! data/music/orvenhal-korrin-system-15.mp3: "},
};

TEST(BrokenDataE2ETest, AFileNeededLaterEndsTheRunWhileLoading) {
    for (const Breakage& b : kBreakages) {
        SCOPED_TRACE(b.what);
        const std::string archive = binary_path(std::string("run/") + b.production + "/data.tlx");
        ASSERT_TRUE(fs::exists(archive)) << archive << " is packed by the build";
        TempDir work;
        if (b.keep_bytes == 0) {
            write_archive_without(archive, b.file, work.path());
        } else {
            const std::string whole = read_file(source_path(b.file));
            write_archive_replacing(archive, b.file, std::vector<uint8_t>(whole.begin(), whole.begin() + b.keep_bytes),
                                    work.path());
        }
        VirtualDisplay display;
        ASSERT_TRUE(display.ok()) << "Xvfb did not start";
        std::unique_ptr<ProgramRun> run = start_show(display, std::string("zembla-") + b.production, b.title,
                                                     work.path(), work.file("output.txt"), 300, SetupAnswer::Play);
        ASSERT_TRUE(run);
        // Loading takes seconds; the show would run for minutes before.
        const std::string caption = answer_error_box(display, *run, 120, screenshot_path(work.path(), "box.png"));
        EXPECT_EQ(caption.rfind("Error in file src\\", 0), 0u) << caption << "\n" << run->output();
        EXPECT_EQ(run->wait(60), 1) << run->output();
        const std::string output = run->output();
        const size_t error = output.find("ERROR: ");
        EXPECT_NE(error, std::string::npos) << output;
        if (error != std::string::npos) {
            EXPECT_NE(output.find(b.message, error), std::string::npos) << b.message << "\n" << output;
        }
    }
}

}  // namespace
