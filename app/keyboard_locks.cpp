#include "keyboard_locks.h"

#include "x11_display.h"
#ifdef APRICOT_HAVE_X11
#include <X11/XKBlib.h>

namespace {

bool NamedIndicator(Display* display, const char* name) {
    const Atom atom = XInternAtom(display, name, True);
    if (atom == 0)
        return false;
    int on = 0;
    if (!XkbGetNamedIndicator(display, atom, nullptr, &on, nullptr, nullptr))
        return false;
    return on != 0;
}

} // namespace
#endif

std::optional<CKeyboardLocks> QueryKeyboardLocks() {
#ifdef APRICOT_HAVE_X11
    Display* display = QtDisplay();
    if (!display)
        return std::nullopt;
    CKeyboardLocks locks;
    locks.caps = NamedIndicator(display, "Caps Lock");
    locks.num = NamedIndicator(display, "Num Lock");
    locks.scroll = NamedIndicator(display, "Scroll Lock");
    return locks;
#else
    return std::nullopt;
#endif
}
