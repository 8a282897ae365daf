// The scene interface without a display: defaults, the base operations that
// every scene must replace, and destruction through the interface.
#include "scenes/scene.h"

#include <memory>

#include "support/test_support.h"

namespace {

class BareScene : public Scene {};

TEST(Scene, StartsUnwiredWithTheWideAspect) {
    BareScene scene;
    EXPECT_FLOAT_EQ(scene.get_aspect(), 1.7777778f);
    EXPECT_EQ(scene.get_keys(), nullptr);
    EXPECT_EQ(scene.get_music(), nullptr);
    EXPECT_EQ(scene.get_fbo(), nullptr);
    scene.deinit();  // the base does nothing, any number of times
    scene.deinit();
}

TEST(Scene, SettersStoreWhatTheManagerHandsOver) {
    BareScene scene;
    unsigned char keys[256] = {};
    scene.set_keys(keys);
    scene.set_aspect(4.0f / 3.0f);
    scene.set_music(reinterpret_cast<Music*>(&keys[1]));
    scene.set_fbo(reinterpret_cast<FBO*>(&keys[2]));
    scene.set_input(reinterpret_cast<InputState*>(&keys[3]));
    EXPECT_EQ(scene.get_keys(), keys);
    EXPECT_FLOAT_EQ(scene.get_aspect(), 4.0f / 3.0f);
    EXPECT_EQ(static_cast<void*>(scene.get_music()), &keys[1]);
    EXPECT_EQ(static_cast<void*>(scene.get_fbo()), &keys[2]);
    EXPECT_EQ(static_cast<void*>(scene.get_input()), &keys[3]);
}

TEST(Scene, BaseInitAndDrawEndTheRun) {
    BareScene scene;
    EXPECT_FATAL(scene.init(), "Virtual init");
    EXPECT_FATAL(scene.draw(), "Virtual draw");
}

class CountedScene : public Scene {
public:
    explicit CountedScene(int* destroyed) : destroyed_(destroyed), payload_(new int[64]) {}
    ~CountedScene() override {
        delete[] payload_;
        ++*destroyed_;
    }

private:
    int* destroyed_;
    int* payload_;
};

TEST(Scene, DeletingThroughTheInterfaceDestroysTheWholeScene) {
    int destroyed = 0;
    std::unique_ptr<Scene> scene = std::make_unique<CountedScene>(&destroyed);
    scene.reset();  // the sanitizer build also sees the payload go
    EXPECT_EQ(destroyed, 1);
}

}  // namespace
