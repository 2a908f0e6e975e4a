// main() of the widget tests that need nothing but the application object.
#include "widget_tests.h"

int main(int argc, char** argv) {
    return RunWidgetTests(argc, argv);
}
