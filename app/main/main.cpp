// Kestro's entry point: start-up in the order the program's parts expect, the message loop, and
// shut-down. With arguments the exchange starts at once and the program ends with its exit code.
#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/engine/KestroGlobal.h"
#include "app/engine/RunState.h"
#include "app/engine/UnitScheduler.h"
#include "app/ui/MainFrm.h"
#include "components/crashlog/CrashLog.h"
#include "components/instance/ApplicationInstance.h"
#include "components/instance/InstanceGuard.h"
#include "netlib/ssl/IpSSLLayer.h"
#include "platform/fs/Files.h"
#include "platform/system/MessageBox.h"

int main(int argc, char** argv) {
    // Without a display the program runs on Qt's offscreen platform; message boxes do not wait
    // there.
    std::unique_ptr<QCoreApplication> qtApp = TApplication::InitializeQt(argc, argv, true);
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        // The window that a start without boxes opens is not there yet.
        std::fprintf(stderr,
                     "usage: kestro BOX... [-dial[:NAME]] [-hangup[:NAME]] [-sendonly] [-cfg] "
                     "[-cfgonly] [-tray]\n"
                     "  BOX is a box file (.cfg or the point program's .bfg); every box is "
                     "exchanged and kestro ends with exit code 0, 1 (a transfer failed) or 2 (a "
                     "server went silent).\n");
        return 0;
    }
    SetUnattended(true);

    IpSSLRegister();  // boxes that ask for SSL reach their servers through it
    InitializeKestroGlobal();
    // Unhandled exceptions and fatal signals go to kestro.rip in the working directory (the
    // program directory); the main window will own the component that names the file. Set up
    // after the settings are read, so that the crash log takes over the application's exception
    // handler at a throw after the main window has set its own, and passes exceptions on to it.
    InstallCrashLog();
    TStExceptionLog crashLog;
    crashLog.SetFileName("kestro.rip");
    // Both copies stand for themselves by the application window, captioned with the title: a
    // second copy brings the first one's main form forward.
    if (!GuardApplicationInstance("Orvalin Kestro")) {
        // The first copy came forward; this one exchanged nothing.
        return args.empty() ? 0 : ExitCodeAlreadyRunning;
    }
    CurrentConfig = std::make_unique<TKestroConfig>();

    int exitCode;
    {
        TFormMain form;
        form.ParseCommandLine(args);
        form.SetIdleControls(true);
        form.PostRunIfArguments();
        Application.Run();
        exitCode = RunExitCode();
    }

    if (FileExists("kestro.dial")) DeleteFile("kestro.dial");
    try {
        NNTPTasks.SaveAndClear();
    } catch (const std::exception&) {
        // Lists still loaded here belong to a run that already reported its errors.
    }
    CurrentConfig.reset();
    FinalizeInstanceGuard();
    return exitCode;
}
