#pragma once
// The Caps, Num and Scroll Lock state of the keyboard, where the window system tells it.
#include <optional>

struct CKeyboardLocks {
    bool caps = false;
    bool num = false;
    bool scroll = false;
};

// The lock state of the X keyboard on the xcb platform; nullopt elsewhere (offscreen, Wayland)
// or when the program was built without libX11.
std::optional<CKeyboardLocks> QueryKeyboardLocks();
