// What the e2e tests of whole productions share beyond the display: running
// a production's program, recording its show to AVI and reading it back (its
// parts, their lengths and size, a frame at a time), measuring frames,
// damaging a production's archive, and answering the box that a fatal error
// shows.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "support/e2e_display.h"

namespace test_support {

std::string shell_quoted(const std::string& s);

// The duration ffprobe reads from a media file, -1 when it cannot.
double probe_duration(const std::string& file);

// The width and height of the first video stream of `file`, {0, 0} when
// ffprobe cannot read one.
std::pair<int, int> video_size(const std::string& file);

// How a test answers a production's setup dialog.
enum class SetupAnswer { Play, GetAvi };

// Starts `program` (an executable of the build tree, such as
// "zembla-quendle") on `display` in `work`, a folder that holds the
// production's data.tlx, its console output in `output` and `seconds` as the
// last guard, and answers its setup dialog, titled `title`; the run, or none
// (with a test failure) when no dialog came.
std::unique_ptr<ProgramRun> start_show(const VirtualDisplay& display, const std::string& program,
                                       const std::string& title, const std::string& work, const std::string& output,
                                       int seconds, SetupAnswer answer);

// A recording's parts in order ("<title>.01.avi", "<title>.02.avi", ...)
// with their durations.
struct Recording {
    std::vector<std::string> parts;
    std::vector<double> durations;
    double total() const;
};
Recording read_recording(const std::string& folder, const std::string& title);

// Starts the show as start_show() does, answering "Get avi", and gives it
// `seconds` to record the whole show and end by itself with status 0 and no
// error in its output. The recording it left in `work`; none (with a test
// failure) when the run went wrong.
Recording record_show(const VirtualDisplay& display, const std::string& program, const std::string& title,
                      const std::string& work, const std::string& output, int seconds);

struct RecordedFrame {
    double seconds;
    std::vector<unsigned char> rgb;
};

// The frame of the recording at `seconds`, found in the part that holds it,
// as RGB bytes; also written to `png` to look at.
RecordedFrame frame_at(const Recording& recording, double seconds, const std::string& png);

// The share of pixels with a channel above a quarter of full brightness.
double lit_share(const std::vector<unsigned char>& rgb);
double mean_difference(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b);

// Every two of the frames differ by more than `min_difference` on average
// (test failures naming the pair by `labels`, one a frame, if not).
void expect_frames_differ(const std::vector<RecordedFrame>& frames, const std::vector<std::string>& labels,
                          double min_difference);

// Packs the archive `archive` again into `folder`/data.tlx, without the
// entry `name`, or with its bytes replaced (as a text load stores them, with
// a zero byte after them). The entry must be there (a test failure if not).
void write_archive_without(const std::string& archive, const std::string& name, const std::string& folder);
void write_archive_replacing(const std::string& archive, const std::string& name, const std::vector<uint8_t>& bytes,
                             const std::string& folder);

// Waits up to `seconds` for the error box, found by its title ("Error in
// file ..."; or another box, by the start of its title), takes its picture
// into `shot_file` once it has drawn its text and button, and checks it
// stays up for an answer; the box, or one without an id when none came
// while the program ran.
Window wait_for_error_box(const VirtualDisplay& display, ProgramRun& run, double seconds,
                          const std::string& shot_file, const std::string& title_start = "Error in file ");

// The same, then answers the box with Return; its title, or "" when no box
// came.
std::string answer_error_box(const VirtualDisplay& display, ProgramRun& run, double seconds,
                             const std::string& shot_file, const std::string& title_start = "Error in file ");

}  // namespace test_support
