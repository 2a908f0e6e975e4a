#include "window_manager.h"

#include "x11_display.h"
#ifdef APRICOT_HAVE_X11
#include <X11/Xatom.h>

namespace {

// The window that _NET_SUPPORTING_WM_CHECK names on `window`, or 0.
Window SupportingWindow(Display* display, Window window, Atom check) {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    Window found = 0;
    if (XGetWindowProperty(display, window, check, 0, 1, False, XA_WINDOW, &type, &format, &count,
                           &after, &data) == Success &&
        type == XA_WINDOW && format == 32 && count == 1 && data)
        found = *reinterpret_cast<Window*>(data);
    if (data)
        XFree(data);
    return found;
}

} // namespace
#endif

bool WindowManagerRunning() {
#ifdef APRICOT_HAVE_X11
    Display* display = QtDisplay();
    if (!display)
        return true;
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
    if (check == 0)
        return false;
    // A manager that went away leaves the root's property naming a window that is gone or no
    // longer names itself.
    const Window child = SupportingWindow(display, DefaultRootWindow(display), check);
    return child != 0 && SupportingWindow(display, child, check) == child;
#else
    return true;
#endif
}
