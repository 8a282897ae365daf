#include "scenes/scene.h"

#include <GL/glew.h>

#include "system/fatal.h"

Scene::Scene() = default;
Scene::~Scene() = default;

void Scene::init() { FATAL_ERROR("Virtual init"); }

void Scene::draw() { FATAL_ERROR("Virtual draw"); }

void Scene::deinit() {}

ViewportRect Scene::overlay_area() { return {0, 0, width, height}; }

bool Scene::draws_in_scissor_box() const { return false; }

bool Scene::composes_whole_target() const { return false; }

void Scene::resize(int w, int h) {
    width = w;
    height = h;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glViewport(0, 0, width, height);
    glScissor(0, 0, width, height);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}
