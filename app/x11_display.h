#pragma once
// The X display Qt talks to, for the few questions only Xlib answers. Include it last: Xlib's
// macros (Bool, Status, None...) clash with Qt's names.
#ifdef APRICOT_HAVE_X11
#include <QGuiApplication>
#include <X11/Xlib.h>

// The display on the xcb platform; null elsewhere (offscreen, Wayland).
inline Display* QtDisplay() {
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->display() : nullptr;
}
#endif
