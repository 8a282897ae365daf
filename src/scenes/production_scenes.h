// The scene list of every production, in one table: a scene's position in
// its list is the index that the "ActiveScene" tracks name. A class that is
// not part of this program yet has no maker; a production with such a class
// cannot be played.
#pragma once

#include <string>
#include <vector>

class Scene;

struct SceneEntry {
    const char* class_name;
    Scene* (*make)();  // null while the class is not part of the program
};

using SceneList = std::vector<SceneEntry>;

template <typename T>
Scene* make_scene() {
    return new T();
}

// The list of production `id`; null for an id outside 0..5.
const SceneList* production_scene_list(int id);

// The class names of the entries that have no maker, joined by ", ".
std::string missing_scene_classes(const SceneList& list);
