// synctimeline: compiles a sync timeline (text, one key a line) into track
// files, and dumps track files back to that text.
//
//   synctimeline compile <timeline.txt> <folder>
//       writes <folder>/_<track>.track for every track of the timeline
//       (creating the folder), and nothing when the text has an error.
//   synctimeline dump <folder or .track file>...
//       prints the timeline of the named track files, or of every
//       _<track>.track file of a folder, sorted by track name.
//   synctimeline frame-tracks
//       prints the names of the tracks the scene manager registers itself
//       (tempo, scene selection, camera, post-processing passes), one a
//       line: every production has them besides its scenes'.
//   synctimeline tracks <production>
//       prints, as a timeline without keys, every track the production of
//       that name registers: the scene manager's own, then its scenes' (each
//       scene class's table), in order. The build gives each a track file.
//
// The timeline format (see src/util/music/synctimeline.h):
//   <track> <position> <value> <interpolation>
//   <track>
// position: a row ("130") or a beat with a "b" suffix ("16b" = row 128);
// interpolation: step, linear, smooth or ramp; a line with only a track name
// gives a track without keys; "#" starts a comment.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "scenes.h"
#include "scenes/production_scenes.h"
#include "system/productions.h"
#include "util/music/sync.h"
#include "util/music/synctimeline.h"

namespace fs = std::filesystem;

namespace {

int usage() {
    std::cerr << "usage: synctimeline compile <timeline.txt> <folder>\n"
                 "       synctimeline dump <folder or .track file>...\n"
                 "       synctimeline frame-tracks\n"
                 "       synctimeline tracks <production>\n";
    return 2;
}

bool read_file(const fs::path& path, std::string* bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes->assign(std::istreambuf_iterator<char>(in), {});
    return !in.bad();
}

int compile(const fs::path& timeline, const fs::path& folder) {
    std::string text;
    if (!read_file(timeline, &text)) {
        std::cerr << timeline.string() << ": cannot read\n";
        return 1;
    }
    std::vector<SyncTrack> tracks;
    std::string error;
    if (!SyncTimeline::parse(text, &tracks, &error)) {
        std::cerr << timeline.string() << ": " << error << "\n";
        return 1;
    }
    std::error_code ec;
    fs::create_directories(folder, ec);
    for (const SyncTrack& track : tracks) {
        std::string path = SyncDevice::track_path(folder.string() + "/", track.name);
        if (SyncDevice::save_track_file(track, path) != 0) {
            std::cerr << path << ": cannot write\n";
            return 1;
        }
    }
    std::cerr << "wrote " << tracks.size() << " track files to " << folder.string() << "\n";
    return 0;
}

// "_<name>.track" -> name, or "" for other file names.
std::string track_name(const fs::path& file) {
    std::string base = file.filename().string();
    const std::string suffix = ".track";
    if (base.size() <= suffix.size() + 1 || base[0] != '_' ||
        base.compare(base.size() - suffix.size(), suffix.size(), suffix) != 0)
        return "";
    return base.substr(1, base.size() - suffix.size() - 1);
}

int dump(const std::vector<fs::path>& args) {
    std::vector<fs::path> files;
    for (const fs::path& arg : args) {
        std::error_code ec;
        if (!fs::is_directory(arg, ec)) {
            files.push_back(arg);
            continue;
        }
        for (const auto& entry : fs::directory_iterator(arg, ec))
            if (entry.is_regular_file() && !track_name(entry.path()).empty()) files.push_back(entry.path());
        if (ec) {
            std::cerr << arg.string() << ": cannot list\n";
            return 1;
        }
    }
    std::vector<SyncTrack> tracks;
    for (const fs::path& file : files) {
        SyncTrack track;
        track.name = track_name(file);
        std::string bytes, error;
        if (track.name.empty()) {
            std::cerr << file.string() << ": not named _<track>.track\n";
            return 1;
        }
        if (!(error = SyncTimeline::check_name(track.name)).empty()) {
            std::cerr << file.string() << ": " << error << "\n";
            return 1;
        }
        if (!read_file(file, &bytes)) {
            std::cerr << file.string() << ": cannot read\n";
            return 1;
        }
        if (!SyncTrackFile::decode(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), &track, &error)) {
            std::cerr << file.string() << ": corrupt track file: " << error << "\n";
            return 1;
        }
        tracks.push_back(std::move(track));
    }
    std::stable_sort(tracks.begin(), tracks.end(),
                     [](const SyncTrack& a, const SyncTrack& b) { return a.name < b.name; });
    std::cout << SyncTimeline::format(tracks);
    return std::cout.flush() ? 0 : 1;
}

int production_tracks(const std::string& name) {
    const ProductionRow* row = find_production(name);
    if (!row) {
        std::cerr << "synctimeline: no production named " << name << "\n";
        return 1;
    }
    const SceneList& scenes = *production_scene_list(row->id);
    std::string classes;
    for (const SceneEntry& scene : scenes) classes += (classes.empty() ? "" : ", ") + std::string(scene.class_name);
    std::cout << "# The sync tracks of " << name << ", in the order they are registered: the scene manager's\n"
              << "# own, then those of its scenes (" << (classes.empty() ? "none" : classes) << ").\n";
    // A class that is not part of the program has no table to read: the
    // production cannot be played yet, and its tracks are not known.
    const std::string missing = missing_scene_classes(scenes);
    if (!missing.empty()) std::cout << "# Not part of the program yet, their tracks unknown: " << missing << "\n";
    for (const std::string& track : production_track_names(scenes)) std::cout << track << "\n";
    return std::cout.flush() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 3 && args[0] == "compile") return compile(args[1], args[2]);
    if (args.size() >= 2 && args[0] == "dump") return dump(std::vector<fs::path>(args.begin() + 1, args.end()));
    if (args.size() == 1 && args[0] == "frame-tracks") {
        for (const std::string& name : manager_track_names()) std::cout << name << "\n";
        return std::cout.flush() ? 0 : 1;
    }
    if (args.size() == 2 && args[0] == "tracks") return production_tracks(args[1]);
    return usage();
}
