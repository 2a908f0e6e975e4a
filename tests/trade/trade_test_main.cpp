// The dialogs run on the offscreen platform. Started with --entry-child, the program is instead
// the child process of the atomicity test: it runs one entry and is killed inside it.
#include "entry_child.h"
#include "widget_tests.h"

#include <cstring>

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], kEntryChildFlag) == 0)
        return RunEntryChild(argc, argv);
    return RunWidgetTests(argc, argv, true);
}
