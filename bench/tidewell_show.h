// The show "Wembrel - tidewell" in a window of the benchmark's own, without
// the setup dialog, loading fade or soundtrack: a working folder under /tmp
// holds links to the shared data and the production's track files, compiled
// from its manifest and timeline, and the scene manager draws frames at music
// times the caller chooses (the timer clock stands in for the song). Other
// benchmarks put their own scene lists over the same tracks and time them
// against the renderer's floor and the empty frame loop with
// time_against_floor; a production's show benchmark is one call of
// register_show_benchmarks.
//
// How the figures were checked against the program: each production's
// program played its whole show at 1280 x 720 with 4x multisampling on a
// virtual display, pinned to two cores, with a library preloaded
// (LD_PRELOAD) over SDL_GL_SwapWindow that finished every frame (glFinish),
// wrote its time, and every eighth frame drew one floor frame of
// render_floor.h in the program's own context and timed it. A section's
// median frame in the program over the median of the floor frames drawn
// during it agreed with BM_Section's figure to within 16 % in 33 of the 36
// sections of brisken, tidewell, Pelltide, Quendle and Korrin, and the
// benchmark read higher in the other three (tidewell's second drop 3.5 against
// 2.6, the fireworks 4.8 against 3.7): it spreads its frames evenly over
// the section, while the program draws fewer frames while it is slow, so
// the median of its frames leans to the cheap moments. Before the
// heap kept what the renderer frees (platform/heap.h, which open_window
// calls as the program does), the tree read 6.8 times the empty loop here
// and 11 to 15 in the program: the page faults depended on what the
// process had allocated before. Checked again the same way for tidewell
// once its break and second drop had got cheaper: the program's whole show
// 1.72 (BM_Show 1.54 to 1.85 over several runs), and its sections within 8 %
// of BM_Section's (intro 1.97 against 1.93, drop 1.81 against 1.86, break
// 1.39 against 1.45, second drop 2.01 against 1.94); the program's clock is
// the song's, so a section is the frames between its beats counted back
// from the run's last frame.
#pragma once

#include <GL/glew.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/heap.h"
#include "render_floor.h"
#include "scenes.h"
#include "smoke.h"
#include "scenes/production_scenes.h"
#include "system/productions.h"
#include "system/window.h"
#include "system/zemblasystem.h"
#include "util/data/data.h"
#include "util/data/loadingscreen.h"
#include "util/music/music.h"
#include "util/music/synctimeline.h"
#include "util/music/synctrack.h"

namespace tidewell_show {

namespace fs = std::filesystem;

inline std::string read_text(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path.string());
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline std::vector<SyncTrack> parse_timeline(const fs::path& path) {
    std::vector<SyncTrack> tracks;
    std::string error;
    if (!SyncTimeline::parse(read_text(path), &tracks, &error))
        throw std::runtime_error(path.string() + ": " + error);
    return tracks;
}

// A track held at one value from the start.
struct TrackValue {
    std::string name;
    float value;
};

// A working folder with the shared data linked in and a track file for every
// track the production registers: keyed from its timeline when `keyed`, else
// empty; then each of `held` at its value, registered by it or not.
class RunFolder {
public:
    explicit RunFolder(bool keyed, const std::string& production_name = "tidewell",
                       const std::vector<TrackValue>& held = {}) {
        char name[] = "/tmp/tidewell_show_XXXXXX";
        if (!mkdtemp(name)) throw std::runtime_error("mkdtemp failed");
        path = name;
        const fs::path source = ZEMBLA_SOURCE_DIR;
        fs::create_directories(path / "data/sync_tracker");
        for (const char* folder : {"common", "effects", "music", "scenes", "util"})
            if (fs::exists(source / "data" / folder))
                fs::create_directory_symlink(source / "data" / folder, path / "data" / folder);
        const fs::path production = source / "data/productions" / production_name;
        // Every track the production registers.
        std::vector<SyncTrack> tracks;
        for (const std::string& name :
             production_track_names(*production_scene_list(find_production(production_name)->id)))
            tracks.push_back({name, {}});
        if (keyed && fs::exists(production / "timeline.txt"))
            for (const SyncTrack& keyed_track : parse_timeline(production / "timeline.txt"))
                for (SyncTrack& track : tracks)
                    if (track.name == keyed_track.name) track.keys = keyed_track.keys;
        // A held track the production does not register (a scene's own, put
        // in a list of the caller's) is added.
        for (const TrackValue& value : held) {
            auto listed = std::find_if(tracks.begin(), tracks.end(),
                                       [&value](const SyncTrack& track) { return track.name == value.name; });
            if (listed == tracks.end()) listed = tracks.insert(tracks.end(), SyncTrack{value.name, {}});
            listed->keys = {{0, value.value, SyncKeyType::Step}};
        }
        for (const SyncTrack& track : tracks) {
            std::vector<uint8_t> bytes = SyncTrackFile::encode(track.keys);
            std::ofstream(path / "data/sync_tracker" / ("_" + track.name + ".track"), std::ios::binary)
                .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        }
    }
    ~RunFolder() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
    RunFolder(const RunFolder&) = delete;
    RunFolder& operator=(const RunFolder&) = delete;

    fs::path path;
};

// Opens the window once per process: width x height, `samples` samples,
// with the heap set up as the program sets it up, so that frames cost what
// they cost in the program.
inline void open_window(int width, int height, int samples) {
    static bool open = false;
    if (open) return;
    platform::keep_freed_heap();
    ZemblaSystem::production = production_id("tidewell");
    configure_production();
    ZemblaSystem::width = width;
    ZemblaSystem::height = height;
    ZemblaSystem::samples = samples;
    ZemblaSystem::fullscreen = 0;
    ZemblaSystem::vsync = 0;
    ZemblaSystem::aspect_numerator = 16;
    ZemblaSystem::aspect_denominator = 9;
    ZemblaSystem::data_mode = DataFileMode::Plain;
    ZemblaSystem::sync_client = 0;
    ZemblaSystem::get_avi = false;
    create_window();
    glewExperimental = GL_TRUE;
    if (glewInit() != GLEW_OK) throw std::runtime_error("glewInit failed");
    clamp_samples_to_driver();
    DataFile::set_mode(DataFileMode::Plain);
    LoadingScreen::setup(width, height, 16.0f / 9.0f);
    open = true;
}

// The show's scenes (or none, or any list) over the tracks of a run folder.
class Show {
public:
    // With `scenes` false the scene list is empty and every track keeps its
    // default: the frame loop alone.
    explicit Show(bool scenes) : Show(scenes ? production_scene_list(production_id("tidewell")) : nullptr, scenes) {}

    // Any scene list (null for none) over the show's tracks, keyed from its
    // timeline or all at their defaults (then "ActiveScene1st" is 0 and
    // draws the list's first scene alone), with the `held` tracks at theirs.
    Show(const SceneList* scenes, bool keyed, const std::vector<TrackValue>& held = {})
        : folder_(keyed, "tidewell", held) {
        start(scenes, "", tidewell_bpm());
    }

    // Another production's show: its scenes over its own keyed tracks. Scenes
    // that read the notes of a music description need its soundtrack, which
    // then stands in for the timer (paused, so it too moves only when set;
    // silent without an audio device).
    Show(const ProductionRow& row, bool on_soundtrack) : Show(row, production_scene_list(row.id), on_soundtrack) {}
    // The same with any scene list in the production's place.
    Show(const ProductionRow& row, const SceneList* scenes, bool on_soundtrack) : folder_(true, row.name) {
        start(scenes, on_soundtrack ? row.music_file : "", row.bpm > 0.0f ? row.bpm : tidewell_bpm());
    }

    // One frame of the show at `seconds`, finished on the GPU, drawn in the
    // run folder: some scenes read their data at their first frame (the
    // scene graph its shader pieces).
    void frame_at(float seconds) {
        in_folder([&] {
            manager_->get_music()->set_time(seconds);
            manager_->frame();
            glFinish();
        });
    }

    SceneManager& manager() { return *manager_; }

private:
    // The default show's tempo, also the clock of a production whose tempo
    // comes from its music description.
    static float tidewell_bpm() { return find_production("tidewell")->bpm; }

    void start(const SceneList* scenes, const std::string& music_file, float bpm) {
        static const SceneList kNoScenes;
        in_folder([&] {
            // Without a music file the timer clock: no song to decode, and
            // frames at chosen times. A music description brings its notes
            // and tempo; a song its production's tempo.
            ZemblaSystem::music_file = music_file;
            ZemblaSystem::bpm = bpm;
            manager_ = std::make_unique<SceneManager>(scenes ? scenes : &kNoScenes);
            manager_->resize(ZemblaSystem::width, ZemblaSystem::height);
            // Loading is over once the scenes are built, as after the
            // program's fade: a program a scene builds at its first frame
            // must not draw the loading screen (which switches the depth
            // test off) in the middle of that frame.
            DataFile::set_loading_finished(true);
            // A paused timer moves only when set.
            manager_->get_music()->pause();
        });
    }

    template <typename Work>
    void in_folder(Work work) {
        const fs::path previous = fs::current_path();
        fs::current_path(folder_.path);
        work();
        fs::current_path(previous);
    }

    RunFolder folder_;
    std::unique_ptr<SceneManager> manager_;
};

using Clock = std::chrono::steady_clock;

inline double ms_since(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The renderer's floor in this process (render_floor.h), at the window's
// size and sample count; made at its first use, after open_window.
inline render_floor::Floor& floor() {
    static render_floor::Floor made(ZemblaSystem::width, ZemblaSystem::height, ZemblaSystem::samples);
    return made;
}

// Each iteration draws one frame of the floor, one of `empty` and one of
// `other` at the same time of the music, one iteration a frame at `frames`
// evenly spread times from `from` towards `to` seconds, so all three see the
// same machine load. Reports the floor's median frame in milliseconds
// ("floor_ms") and the median frames of the other two as multiples of it
// ("empty_x", `other_name` + "_x"), with `other_name` + "_ms" beside.
//
// The clock only goes forward, as in the show: a lead-in of a few frames
// just before the span and one at its start, not measured, brings the
// scenes there. A scene that integrates over the clock (the fireworks) so
// runs on from where the show would have it, and first-use work (programs
// compiled at a scene's first frame) stays out of the figures; a program
// first needed later in the span costs a frame or two, which the median
// passes over. Callers measure spans in the order of the show, or on a show
// of their own.
inline void time_against_floor(benchmark::State& state, Show& empty, Show& other, const std::string& other_name,
                               float from, float to, int frames) {
    render_floor::Floor& base = floor();
    const float step = (to - from) / static_cast<float>(frames);
    constexpr int kLeadIn = 3;
    for (int k = kLeadIn; k >= 0; --k) {
        const float seconds = std::max(0.0f, from - step * static_cast<float>(k));
        base.frame();
        empty.frame_at(seconds);
        other.frame_at(seconds);
    }
    std::vector<double> floor_ms, empty_ms, other_ms;
    int frame = 0;
    for (auto _ : state) {
        const float seconds = std::min(to, from + step * static_cast<float>(frame++));
        auto start = Clock::now();
        base.frame();
        floor_ms.push_back(ms_since(start));
        start = Clock::now();
        empty.frame_at(seconds);
        empty_ms.push_back(ms_since(start));
        start = Clock::now();
        other.frame_at(seconds);
        other_ms.push_back(ms_since(start));
    }
    const double floor_median = render_floor::median(floor_ms);
    state.counters["floor_ms"] = floor_median;
    if (floor_median > 0.0) {
        state.counters["empty_x"] = render_floor::median(empty_ms) / floor_median;
        state.counters[other_name + "_x"] = render_floor::median(other_ms) / floor_median;
    }
    state.counters[other_name + "_ms"] = render_floor::median(other_ms);
    if (glGetError() != GL_NO_ERROR) state.SkipWithError("GL error");
}

// A part of a show's music, in beats.
struct Section {
    const char* name;
    float first_beat, end_beat;
};

// The benchmarks of a production's show at 1280 x 720 with 4x multisampling
// on the real window, against the renderer's floor and the frame loop with
// no scenes and no passes, frame by frame (time_against_floor): BM_Show
// spreads 300 frames over the whole show (to the end of the last section),
// BM_Section `section_frames` over each section, to find the slowest. The
// sections run in the order of the show on one show of their own, and the
// whole show on another, so that the clock of each only goes forward. Scenes
// that read the notes of the music description, or the music's level, need
// the show `on_soundtrack`. Beats become seconds at the tempo the show plays
// at: its row's, or its music description's. A production with scenes that
// are not part of the program yet has no show: its benchmarks time nothing
// and say so in their label. Call it once, from a namespace-scope
// initialiser.
inline bool register_show_benchmarks(int production, const std::vector<Section>& sections,
                                     bool on_soundtrack, int section_frames = 50) {
    struct Shows {
        std::unique_ptr<Show> empty, whole, sections;
    };
    // Made at the first benchmark that runs and kept for the others; null,
    // the iterations run empty, while the production is not playable.
    auto shows = [production](benchmark::State& state) -> Shows* {
        static Shows made;
        if (!production_playable(production)) {
            state.SetLabel("no show: scenes of its list are not part of the program yet");
            for (auto _ : state) {
            }
            return nullptr;
        }
        if (!made.empty) {
            open_window(1280, 720, 4);
            made.empty = std::make_unique<Show>(nullptr, false);
        }
        return &made;
    };
    auto show_of = [production, on_soundtrack](std::unique_ptr<Show>& show) -> Show& {
        if (!show) show = std::make_unique<Show>(*find_production(production), on_soundtrack);
        return *show;
    };
    const auto seconds_per_beat = [](Show& show) { return 60.0f / show.manager().get_music()->get_bpm(); };
    const float show_beats = sections.back().end_beat;
    benchmark::RegisterBenchmark("BM_Show",
                                 [shows, show_of, seconds_per_beat, show_beats](benchmark::State& state) {
                                     if (Shows* s = shows(state)) {
                                         Show& whole = show_of(s->whole);
                                         time_against_floor(state, *s->empty, whole, "show", 0.0f,
                                                            show_beats * seconds_per_beat(whole), 300);
                                     }
                                 })
        ->Iterations(bench_smoke::iterations(300))
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark("BM_Section",
                                 [shows, show_of, sections, seconds_per_beat,
                                  section_frames](benchmark::State& state) {
                                     const Section& section = sections[state.range(0)];
                                     if (Shows* s = shows(state)) {
                                         state.SetLabel(section.name);
                                         Show& show = show_of(s->sections);
                                         time_against_floor(state, *s->empty, show, "show",
                                                            section.first_beat * seconds_per_beat(show),
                                                            section.end_beat * seconds_per_beat(show),
                                                            section_frames);
                                     }
                                 })
        ->DenseRange(0, static_cast<int>(sections.size()) - 1)
        ->Iterations(bench_smoke::iterations(section_frames))
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    return true;
}

}  // namespace tidewell_show
