// The program: start-up as a single instance, then the main window, whose
// configuration pages are built in idle time once the device list has been
// shown (the device list shows sooner, the first click is not slower).
#include "DialogMain.h"
#include "Startup.h"

int main(int argc, char** argv)
{
    return RunApplication(
        argc, argv, [] { return new DialogMain(nullptr, DialogMain::PageBuild::WhenIdle); }, ShowAlreadyRunningNotice);
}
