#include "keyboard_locks.h"

#ifdef APRICOT_HAVE_X11
#include <QGuiApplication>
// Xlib's macros (Bool, Status, None...) clash with Qt's names: include it last.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#endif

#ifdef APRICOT_HAVE_X11
namespace {

Display* QtDisplay() {
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->display() : nullptr;
}

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
