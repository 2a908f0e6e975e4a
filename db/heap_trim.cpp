#include "heap_trim.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

void GiveFreedMemoryBack() {
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

} // namespace

void GiveFreedMemoryBackSoon() {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() != app->thread()) {
        GiveFreedMemoryBack();
        return;
    }
    QTimer::singleShot(0, app, [] { GiveFreedMemoryBack(); });
}
