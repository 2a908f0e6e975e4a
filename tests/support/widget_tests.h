#pragma once
// Widget tests need an application object; without a display they run on the offscreen
// platform. `fusionStyle`: the style the program itself uses, for tests that measure dialogs.
int RunWidgetTests(int argc, char** argv, bool fusionStyle = false);
