// The camera driver that a 3D scene calls at the start of its draw: it points
// the camera from the production's ten camera sync tracks ("cameraEyeX" to
// "cameraFoV", registered once by the scene manager), so every scene that
// calls it follows one camera path. F11 switches every scene to a free-fly
// mode steered by keyboard, mouse and wheel instead; no input reaches the
// scenes in this program, so in practice the tracks always steer.
#pragma once

class Camera;
class InputState;
class Music;

namespace camera_driver {

// Process-wide: free-fly mode is on, and F11 was held at the previous call.
extern bool free_fly;
extern bool f11_was_down;

}  // namespace camera_driver

// Sets the camera for this frame. `keys` is the scene's 256-byte key-state
// array; `speed` (units per second) is used only in free-fly mode.
void update_camera(Camera& camera, const unsigned char* keys, InputState* input, float speed,
                   Music* music);
