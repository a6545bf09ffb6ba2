// The program: start-up as a single instance, then the main window, whose
// configuration pages are built in idle time once the device list has been
// shown (the device list shows sooner, the first click is not slower).
//
// The compiled-in resources are not registered here: they hold only the
// Windows qt.conf, and any qt.conf makes Qt look for its plugins beside the
// executable instead of in the system's plugin folder.
#include "DialogMain.h"
#include "Startup.h"

int main(int argc, char** argv)
{
    return RunApplication(
        argc, argv, [] { return new DialogMain(nullptr, DialogMain::PageBuild::WhenIdle); }, ShowAlreadyRunningNotice);
}
