// Scene classes by name, and the scene list of every production built from
// the production table (system/productions.h): a scene's position in its
// list is the index that the "ActiveScene" tracks name. A class that is not
// part of this program yet has no maker; a production with such a class
// cannot be played.
#pragma once

#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "scenes/scene_tracks.h"

class Scene;

using SceneMaker = std::unique_ptr<Scene> (*)();

struct SceneEntry {
    const char* class_name;
    SceneMaker make;  // null while the class is not part of the program
    // The tracks the class registers in its init, in order: its `tracks`
    // table. Null when it registers none, or is not part of the program.
    const SceneTracks* tracks = nullptr;
};

using SceneList = std::vector<SceneEntry>;

template <typename T>
std::unique_ptr<Scene> make_scene() {
    return std::make_unique<T>();
}

// Whether scene class T has a table of the tracks it registers: a static
// member `const SceneTracks tracks`.
template <typename T, typename = void>
struct HasTrackTable : std::false_type {};
template <typename T>
struct HasTrackTable<T, std::void_t<decltype(&T::tracks)>>
    : std::is_same<decltype(&T::tracks), const SceneTracks*> {};

// The row of scene class T in the scene makers: its name, its maker and its
// track table, when it has one.
template <typename T>
SceneEntry scene_class(const char* class_name) {
    if constexpr (HasTrackTable<T>::value)
        return {class_name, make_scene<T>, &T::tracks};
    else
        return {class_name, make_scene<T>, nullptr};
}

// The maker of scene class `class_name`; null when the program has none.
SceneMaker scene_maker(const std::string& class_name);

// The names of the tracks the scenes of `list` register, in the order they
// do: scene after scene, each by its table; a name a scene before it
// registered already counts once, where it came first.
std::vector<std::string> scene_track_names(const SceneList& list);

// The list of production `id`; null for an id the table does not have.
const SceneList* production_scene_list(int id);

// The class names of the entries that have no maker, joined by ", ".
std::string missing_scene_classes(const SceneList& list);

// Whether every scene of production `id` is part of the program.
bool production_playable(int id);
