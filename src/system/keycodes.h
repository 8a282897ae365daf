// The key codes of the program: Windows virtual-key codes, which the window
// turns SDL's key codes into (virtual_key_code), the key-state arrays are
// indexed by and the scenes and the camera driver test. Letters and digits
// are their upper-case characters ('A'..'Z', '0'..'9').
#pragma once

namespace key {

constexpr int left_button = 1;
constexpr int right_button = 2;
constexpr int backspace = 8;
constexpr int tab = 9;
constexpr int enter = 13;
constexpr int shift = 16;
constexpr int control = 17;
constexpr int escape = 27;
constexpr int space = 32;
constexpr int left = 37;
constexpr int up = 38;
constexpr int right = 39;
constexpr int down = 40;
constexpr int numpad_plus = 107;
constexpr int numpad_minus = 109;
constexpr int f1 = 112;  // F1..F12 follow on
constexpr int f11 = 122;
constexpr int f12 = 123;

}  // namespace key
