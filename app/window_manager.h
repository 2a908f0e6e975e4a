#pragma once
// Whether a window manager looks after the program's windows (maximising them, among others).

// False only on X where no EWMH window manager runs (a bare Xvfb); true elsewhere, where the
// platform maximises on its own, and when the program was built without libX11.
bool WindowManagerRunning();
