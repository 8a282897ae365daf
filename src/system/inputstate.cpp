#include "system/inputstate.h"

#include <cstring>

void InputState::reset() {
    mouse_x = mouse_y = 0;
    last_x = last_y = 0;
    delta_x = delta_y = 0;
    std::memset(key_down, 0, sizeof key_down);
    std::memset(key_pressed, 0, sizeof key_pressed);
    wheel = 0;
}

void InputState::update(int frame_number) {
    delta_x = mouse_x - last_x;
    delta_y = mouse_y - last_y;
    last_x = mouse_x;
    last_y = mouse_y;
    frame = frame_number;
}

unsigned char InputState::is_key_down(int key) const { return key_down[key & 255]; }

unsigned char InputState::take_key_pressed(int key) {
    unsigned char value = key_pressed[key & 255];
    key_pressed[key & 255] = 0;
    return value;
}

void InputState::get_mouse_delta(int* dx, int* dy) const {
    *dx = delta_x;
    *dy = delta_y;
}

int InputState::take_wheel() {
    int value = wheel;
    wheel = 0;
    return value;
}
