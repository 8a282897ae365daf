// What the e2e tests of whole productions share beyond the display: reading
// back a show recorded to AVI (its parts, their lengths, a frame at a time),
// measuring frames, damaging a production's archive, and answering the box
// that a fatal error shows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/e2e_display.h"

namespace test_support {

std::string shell_quoted(const std::string& s);

// The duration ffprobe reads from a media file, -1 when it cannot.
double probe_duration(const std::string& file);

// A recording's parts in order ("<title>.01.avi", "<title>.02.avi", ...)
// with their durations.
struct Recording {
    std::vector<std::string> parts;
    std::vector<double> durations;
    double total() const;
};
Recording read_recording(const std::string& folder, const std::string& title);

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

// Packs the archive `archive` again into `folder`/data.tlx, without the
// entry `name`, or with its bytes replaced (as a text load stores them, with
// a zero byte after them). The entry must be there (a test failure if not).
void write_archive_without(const std::string& archive, const std::string& name, const std::string& folder);
void write_archive_replacing(const std::string& archive, const std::string& name, const std::vector<uint8_t>& bytes,
                             const std::string& folder);

// Waits up to `seconds` for the error box, found by its title ("Error in
// file ..."), takes its picture into `shot_file` once it has drawn its text
// and button, checks it stays up for an answer, and answers it with Return;
// its title, or "" when no box came while the program ran.
std::string answer_error_box(const VirtualDisplay& display, ProgramRun& run, double seconds,
                             const std::string& shot_file);

}  // namespace test_support
