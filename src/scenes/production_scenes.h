// Scene classes by name, and the scene list of every production built from
// the production table (system/productions.h): a scene's position in its
// list is the index that the "ActiveScene" tracks name. A class that is not
// part of this program yet has no maker; a production with such a class
// cannot be played.
#pragma once

#include <string>
#include <vector>

class Scene;

using SceneMaker = Scene* (*)();

struct SceneEntry {
    const char* class_name;
    SceneMaker make;  // null while the class is not part of the program
};

using SceneList = std::vector<SceneEntry>;

template <typename T>
Scene* make_scene() {
    return new T();
}

// The maker of scene class `class_name`; null when the program has none.
SceneMaker scene_maker(const std::string& class_name);

// The list of production `id`; null for an id the table does not have.
const SceneList* production_scene_list(int id);

// The class names of the entries that have no maker, joined by ", ".
std::string missing_scene_classes(const SceneList& list);

// Whether every scene of production `id` is part of the program.
bool production_playable(int id);
