// notedump: prints what a music description gives the show, so authored
// note files can be checked: its note tracks with their keys and
// modulators, and every key's intensity over a range of beats.
//
//   notedump <description.xml> [first last step]
//       reads the description (and the soundtrack, note data and controller
//       templates it names, relative to its folder) from the disk, and
//       prints the intensities from beat `first` to `last` every `step`
//       beats (default 0 to 16 every 0.25).
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

#include "platform/audio/clock.h"
#include "platform/message_box.h"
#include "system/fatal.h"
#include "system/zemblasystem.h"
#include "util/data/data.h"
#include "util/music/modulators/modulator.h"
#include "util/music/music.h"
#include "util/music/notedata.h"

namespace {

int usage() {
    std::cerr << "usage: notedump <description.xml> [first last step]\n";
    return 2;
}

bool parse_beat(const char* text, float* value) {
    char* end = nullptr;
    *value = std::strtof(text, &end);
    return end != text && *end == '\0';
}

const char* modulator_kind(const Modulator& modulator) {
    switch (modulator.get_type()) {
        case Modulator::TypeADSR: return "ADSR";
        case Modulator::TypeLFO: return "LFO";
        case Modulator::TypeArp: return "Arp";
    }
    return "?";
}

void print_track(Music& music, uint32_t index, float first, float last, float step) {
    const Track& track = music.notes->tracks[index];
    std::printf("track %u \"%s\": %zu keys, %u note events\n", index, track.name.c_str(), track.notes.size(),
                track.num_events);
    std::printf("  modulators:");
    if (track.modulators.empty()) std::printf(" none");
    for (const Modulator* modulator : track.modulators) {
        std::printf(" %s", modulator_kind(*modulator));
        if (modulator->get_cc() >= 0) std::printf("(cc %d, %zu bands)", modulator->get_cc(), modulator->ranges.size());
    }
    std::printf("\n  %8s", "beat");
    for (const Note& note : track.notes) std::printf(" %7s", (note.name + "/" + std::to_string(note.key)).c_str());
    std::printf("\n");
    for (long i = 0;; ++i) {
        const float beat = first + static_cast<float>(i) * step;
        if (beat > last) break;
        std::printf("  %8.3f", beat);
        for (float intensity : music.get_note_intensities(index, beat)) std::printf(" %7.3f", intensity);
        std::printf("\n");
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 5) return usage();
    float first = 0.0f, last = 16.0f, step = 0.25f;
    if (argc == 5 && !(parse_beat(argv[2], &first) && parse_beat(argv[3], &last) && parse_beat(argv[4], &step) &&
                       step > 0.0f && (last - first) / step < 1e6f))
        return usage();

    // A file the program would refuse ends this run with the same message;
    // a box would wait for a click that a console tool never gets.
    platform::set_message_boxes_unattended();
    fatal::set_handler([](const fatal::Report& report) {
        std::cerr << "notedump: " << report.message;
        if (report.message.empty() || report.message.back() != '\n') std::cerr << "\n";
        std::exit(1);
    });
    DataFile::set_mode(DataFileMode::Plain);
    ZemblaSystem::music_file = argv[1];
    ZemblaSystem::sync_client = 0;
    ZemblaSystem::get_avi = false;
    audio::ManualClock clock;  // the song is never played: no sound device
    audio::set_playback_clock(&clock);

    Music music;
    if (!music.notes) {
        std::cerr << "notedump: " << argv[1] << " is a soundtrack without note data\n";
        return 1;
    }
    std::printf("%s: %u tracks at %.2f bpm\n", argv[1], music.get_num_tracks(), music.bpm);
    for (uint32_t i = 0; i < music.get_num_tracks(); ++i) print_track(music, i, first, last, step);
    return 0;
}
