// Keyboard and mouse state as the scenes and the camera driver see it. No
// window event feeds it in this program, so apart from the frame number it
// keeps the values of its last reset.
#pragma once

class InputState {
public:
    int frame = 0;
    int mouse_x = 0, mouse_y = 0;
    int last_x = 0, last_y = 0;
    int delta_x = 0, delta_y = 0;
    unsigned char key_down[256] = {};     // non-zero while a key is held
    unsigned char key_pressed[256] = {};  // non-zero until taken
    int wheel = 0;                        // accumulated until taken
    bool captured = false;

    // Clears positions, movement, keys and wheel; keeps the frame number and
    // the capture flag.
    void reset();
    // Takes the movement since the previous update and the new frame number.
    void update(int frame_number);

    // Key codes wrap to their low byte.
    unsigned char is_key_down(int key) const;
    unsigned char take_key_pressed(int key);
    void get_mouse_delta(int* dx, int* dy) const;
    int take_wheel();
    bool is_captured() const { return captured; }
};
