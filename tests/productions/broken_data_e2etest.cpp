// Archives that lack or damage a file a production needs only later in the
// show: the run ends while loading, before the show starts, with the file
// and the reason in its message, and status 1. (A shader piece missing from
// brisken's archive was found 85 s into the show; Korrin's soundtrack cut to
// 1000 bytes ended the show after two seconds with status 0 and no word.)
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "support/e2e_display.h"
#include "support/show_run.h"
#include "support/test_support.h"
#include "util/data/archive.h"
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

// Answers the box the run must show while loading, whose caption starts
// with `caption_start`, and checks that the run then ends with status 1 and
// `message` on its ERROR line.
void expect_box_and_message(const VirtualDisplay& display, ProgramRun& run, const std::string& work,
                            const std::string& caption_start, const std::string& message) {
    // Loading takes seconds; the show would run for minutes before.
    const std::string caption = answer_error_box(display, run, 120, screenshot_path(work, "box.png"));
    EXPECT_EQ(caption.rfind(caption_start, 0), 0u) << caption << "\n" << run.output();
    EXPECT_EQ(run.wait(60), 1) << run.output();
    const std::string output = run.output();
    const size_t error = output.find("ERROR: ");
    EXPECT_NE(error, std::string::npos) << output;
    if (error != std::string::npos) {
        EXPECT_NE(output.find(message, error), std::string::npos) << message << "\n" << output;
    }
}

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
        expect_box_and_message(display, *run, work.path(), "Error in file src\\", b.message);
    }
}

// The archive with one bit flipped where its decoder runs out of code bits
// (the flip changes a code's length, so the codes no longer fit the stream);
// the message it gives.
std::string flip_a_bit_near_the_end(const std::string& archive, const std::string& folder) {
    const std::string text = read_file(archive);
    std::vector<uint8_t> bytes(text.begin(), text.end());
    for (size_t at = bytes.size(); at-- > bytes.size() - 64 && at > 0;) {
        for (int bit = 0; bit < 8; ++bit) {
            bytes[at] ^= static_cast<uint8_t>(1 << bit);
            DataArchive::Parsed parsed;
            const std::string message = DataArchive::parse(bytes.data(), bytes.size(), "data.tlx", &parsed);
            if (message.find("code bits end early") != std::string::npos) {
                std::ofstream(folder + "/data.tlx", std::ios::binary)
                    .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
                return message;
            }
            bytes[at] ^= static_cast<uint8_t>(1 << bit);
        }
    }
    return "";
}

// A fatal error under the sanitizers, whose allocator a forked process
// inherits locked when another thread held it at the fork: the program of a
// build with AddressSanitizer, named by $ZEMBLA_LEAK_CHECK_BUILD (the test
// command sets it to its sanitizer tree), shows its box and ends with status
// 1 like the normal build. (Its box's process used to wait for ever on that
// lock, taken by the thread that watched for the box to give it the
// keyboard: the run hung at the loading screen.)
TEST(BrokenDataSanitizerE2ETest, ADamagedArchiveEndsTheRunWithItsBox) {
    const char* build = std::getenv("ZEMBLA_LEAK_CHECK_BUILD");
    if (!build || !*build) GTEST_SKIP() << "ZEMBLA_LEAK_CHECK_BUILD names no sanitizer build";
    const std::string program = std::string(build) + "/zembla-debug";
    ASSERT_TRUE(fs::exists(program)) << program;
    TempDir work;
    const std::string message = flip_a_bit_near_the_end(binary_path("run/debug/data.tlx"), work.path());
    ASSERT_FALSE(message.empty()) << "no bit near the end of the archive cuts its codes short";

    VirtualDisplay display;
    ASSERT_TRUE(display.ok()) << "Xvfb did not start";
    auto options = ProgramRun::Options::in_folder(program, work.path(), &display);
    options.timeout_seconds = 400;
    options.environment = {{"ASAN_OPTIONS", "detect_leaks=0"}, {"UBSAN_OPTIONS", "print_stacktrace=1"}};
    ProgramRun run(options);
    // The sanitized dialog may take a while to draw; keys go to it once it has.
    const std::string dialog = wait_for_window(display, "Internal debugging", is_dialog, 120);
    ASSERT_FALSE(dialog.empty()) << run.output();
    const Geometry where = geometry_of(display, dialog);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (std::chrono::steady_clock::now() < deadline &&
           take_screenshot(display, screenshot_path(work.path(), "dialog.png")).colours_in(where) < 8)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    press_keys(display, dialog, "Return");
    // (Where the tree puts its sources decides how the site's path begins.)
    expect_box_and_message(display, run, work.path(), "Error in file ", message);
}

// A shader piece of brisken's shadowed light replaced by random bytes was
// found when its scene first drew, 86 s into the show, in a box that named
// no file: the stage's box names the piece while loading, then the run ends.
TEST(BrokenDataE2ETest, ADamagedShaderPieceEndsTheRunWhileLoading) {
    const std::string archive = binary_path("run/brisken/data.tlx");
    ASSERT_TRUE(fs::exists(archive)) << archive << " is packed by the build";
    const std::string piece = "data/util/objects3d/shaderpieces/body_calc_light.frag";
    TempDir work;
    // No zero byte: it would end the piece's text early, and the error
    // would show in the next piece.
    std::vector<uint8_t> damaged(2000);
    uint32_t state = 53;
    for (uint8_t& byte : damaged) byte = static_cast<uint8_t>(1 + (state = state * 1664525u + 1013904223u) % 255);
    write_archive_replacing(archive, piece, damaged, work.path());
    VirtualDisplay display;
    ASSERT_TRUE(display.ok()) << "Xvfb did not start";
    std::unique_ptr<ProgramRun> run = start_show(display, "zembla-brisken", "Wembrel - brisken", work.path(),
                                                 work.file("output.txt"), 300, SetupAnswer::Play);
    ASSERT_TRUE(run);
    // Loading takes seconds; the scene would draw 86 s into the show.
    EXPECT_EQ(answer_error_box(display, *run, 60, screenshot_path(work.path(), "compile.png"),
                               "Fragment shader compilation failed: "),
              "Fragment shader compilation failed: " + piece)
        << run->output();
    expect_box_and_message(display, *run, work.path(), "Error in file ",
                           "Shader compile and link failed! (" + piece + "): Fragment shader compile failed");
}

}  // namespace
