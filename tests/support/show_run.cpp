#include "support/show_run.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <thread>

#include "support/test_support.h"
#include "util/data/data.h"

namespace test_support {

std::string shell_quoted(const std::string& s) { return "'" + s + "'"; }

double probe_duration(const std::string& file) {
    CommandResult r = run_command("ffprobe -v error -show_entries format=duration -of csv=p=0 " + shell_quoted(file));
    return r.status == 0 ? std::atof(r.output.c_str()) : -1.0;
}

std::pair<int, int> video_size(const std::string& file) {
    CommandResult r = run_command("ffprobe -v error -select_streams v:0 -show_entries stream=width,height -of csv=p=0 " +
                                  shell_quoted(file));
    int width = 0, height = 0;
    if (r.status != 0 || std::sscanf(r.output.c_str(), "%d,%d", &width, &height) != 2) return {0, 0};
    return {width, height};
}

double Recording::total() const {
    double sum = 0.0;
    for (double d : durations) sum += d;
    return sum;
}

Recording read_recording(const std::string& folder, const std::string& title) {
    Recording recording;
    for (int part = 1;; ++part) {
        char name[32];
        std::snprintf(name, sizeof name, ".%02d.avi", part);
        std::string path = folder + "/" + title + name;
        if (!std::filesystem::exists(path)) break;
        recording.parts.push_back(path);
        recording.durations.push_back(probe_duration(path));
    }
    return recording;
}

std::unique_ptr<ProgramRun> start_show(const VirtualDisplay& display, const std::string& program,
                                       const std::string& title, const std::string& work, const std::string& output,
                                       int seconds, SetupAnswer answer) {
    ProgramRun::Options options;
    options.program = binary_path(program);
    options.working_dir = work;
    options.output_file = output;
    options.display = &display;
    options.timeout_seconds = seconds;
    auto run = std::make_unique<ProgramRun>(options);
    std::string dialog = wait_for_window(display, title, is_dialog, 60);
    if (dialog.empty()) {
        ADD_FAILURE() << "no setup dialog \"" << title << "\"\n" << run->output();
        return nullptr;
    }
    press_keys(display, dialog, answer == SetupAnswer::GetAvi ? "alt+a" : "Return");
    return run;
}

Recording record_show(const VirtualDisplay& display, const std::string& program, const std::string& title,
                      const std::string& work, const std::string& output, int seconds) {
    auto started = std::chrono::steady_clock::now();
    std::unique_ptr<ProgramRun> run = start_show(display, program, title, work, output, seconds, SetupAnswer::GetAvi);
    if (!run) return {};
    const int status = run->wait(seconds - 5);
    EXPECT_EQ(status, 0) << run->output();
    if (status != 0) return {};
    std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;
    std::printf("recording took %.1f s\n", took.count());
    EXPECT_EQ(run->output().find("ERROR:"), std::string::npos) << run->output();

    Recording recording = read_recording(work, title);
    if (recording.parts.empty()) ADD_FAILURE() << "no recording\n" << run_command("ls -l " + shell_quoted(work)).output;
    return recording;
}

RecordedFrame frame_at(const Recording& recording, double seconds, const std::string& png) {
    RecordedFrame frame{seconds, {}};
    double start = 0.0;
    for (size_t i = 0; i < recording.parts.size(); ++i) {
        if (seconds < start + recording.durations[i]) {
            std::string at = std::to_string(seconds - start);
            const std::string& part = recording.parts[i];
            run_command("ffmpeg -v error -y -ss " + at + " -i " + shell_quoted(part) + " -frames:v 1 " +
                        shell_quoted(png));
            CommandResult raw = run_command("ffmpeg -v error -ss " + at + " -i " + shell_quoted(part) +
                                            " -frames:v 1 -f rawvideo -pix_fmt rgb24 -");
            frame.rgb.assign(raw.output.begin(), raw.output.end());
            return frame;
        }
        start += recording.durations[i];
    }
    return frame;
}

double lit_share(const std::vector<unsigned char>& rgb) {
    size_t lit = 0;
    for (size_t i = 0; i + 2 < rgb.size(); i += 3)
        if (rgb[i] > 64 || rgb[i + 1] > 64 || rgb[i + 2] > 64) ++lit;
    return rgb.empty() ? 0.0 : static_cast<double>(lit) / static_cast<double>(rgb.size() / 3);
}

double mean_difference(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
    double sum = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) sum += std::abs(int(a[i]) - int(b[i]));
    return a.empty() ? 0.0 : sum / static_cast<double>(a.size());
}

void expect_frames_differ(const std::vector<RecordedFrame>& frames, const std::vector<std::string>& labels,
                          double min_difference) {
    ASSERT_EQ(frames.size(), labels.size());
    for (size_t i = 0; i < frames.size(); ++i)
        for (size_t j = i + 1; j < frames.size(); ++j)
            EXPECT_GT(mean_difference(frames[i].rgb, frames[j].rgb), min_difference)
                << labels[i] << " and " << labels[j] << " look alike";
}

namespace {

// Reads the archive, lets `change` edit its entries, writes it to `folder`.
template <typename Change>
void repack(const std::string& archive, const std::string& folder, Change change) {
    DataFile::reset();
    DataFile::set_mode(DataFileMode::Read);
    DataFile::read_archive(archive);
    change(DataFile::entries());
    DataFile::set_mode(DataFileMode::Write);
    DataFile::write_archive(folder + "/data.tlx");
    DataFile::remove_temp_files();
    DataFile::reset();
}

}  // namespace

void write_archive_without(const std::string& archive, const std::string& name, const std::string& folder) {
    repack(archive, folder, [&](std::vector<std::unique_ptr<DataFileEntry>>& entries) {
        for (auto it = entries.begin(); it != entries.end(); ++it)
            if ((*it)->name == name) {
                std::free((*it)->data);
                entries.erase(it);
                return;
            }
        ADD_FAILURE() << name << " is not in the archive";
    });
}

void write_archive_replacing(const std::string& archive, const std::string& name, const std::vector<uint8_t>& bytes,
                             const std::string& folder) {
    repack(archive, folder, [&](std::vector<std::unique_ptr<DataFileEntry>>& entries) {
        for (const std::unique_ptr<DataFileEntry>& entry : entries)
            if (entry->name == name) {
                std::free(entry->data);
                entry->data = static_cast<char*>(std::malloc(bytes.size() + 1));
                std::memcpy(entry->data, bytes.data(), bytes.size());
                entry->data[bytes.size()] = 0;
                entry->size = static_cast<int32_t>(bytes.size() + 1);
                return;
            }
        ADD_FAILURE() << name << " is not in the archive";
    });
}

Window wait_for_error_box(const VirtualDisplay& display, ProgramRun& run, double seconds,
                          const std::string& shot_file, const std::string& title_start) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    Window box;
    while (box.id.empty() && run.running() && std::chrono::steady_clock::now() < deadline) {
        for (const Window& window : visible_windows(display))
            if (window.title.rfind(title_start, 0) == 0) box = window;
        if (box.id.empty()) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (box.id.empty()) return box;

    // A box with a face, its text and an OK button: several colours.
    Geometry where = geometry_of(display, box.id);
    Screenshot shot = take_screenshot(display, shot_file);
    while (std::chrono::steady_clock::now() < deadline &&
           (shot.width != VirtualDisplay::kWidth || shot.colours_in(where) < 4))
        shot = take_screenshot(display, shot_file);
    EXPECT_GT(where.width, 100) << box.title;
    EXPECT_GT(where.height, 50) << box.title;
    EXPECT_GE(shot.colours_in(where), 4) << box.title;
    // The run waits for the answer.
    EXPECT_EQ(run.wait(0.2), -1) << run.output();
    return box;
}

std::string answer_error_box(const VirtualDisplay& display, ProgramRun& run, double seconds,
                             const std::string& shot_file, const std::string& title_start) {
    const Window box = wait_for_error_box(display, run, seconds, shot_file, title_start);
    if (!box.id.empty()) press_keys(display, box.id, "Return");
    return box.title;
}

}  // namespace test_support
