// Kestro's entry point: start-up in the order the program's parts expect, the main window and the
// message loop, and shut-down. Without arguments the window waits for the user's commands; with
// boxes the exchange starts at once and the program ends with its exit code.
#include <QCoreApplication>
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/engine/KestroGlobal.h"
#include "app/engine/RunState.h"
#include "app/engine/UnitScheduler.h"
#include "app/ui/CommandPictures.h"
#include "app/ui/MainFrm.h"
#include "components/crashlog/CrashLog.h"
#include "components/instance/ApplicationInstance.h"
#include "components/instance/InstanceGuard.h"
#include "netlib/ssl/IpSSLLayer.h"
#include "platform/core/DisplayWatch.h"
#include "platform/fs/Files.h"
#include "platform/widgets/Forms.h"

namespace {

// The windows go, the last made first. Every window keeps its placement in the main window's
// store, which goes with the main window: made first, it goes last, when each window made after
// it (a message viewer still open) has stored its placement.
void FreeWindows() {
    Forms.DestroyComponents();
}

// What stays beside the boxes once the windows went: the dial marker goes, newsgroup lists a run
// left in memory are written, the box is closed and the instance guard let go.
void CloseDown() {
    if (FileExists("kestro.dial")) DeleteFile("kestro.dial");
    try {
        NNTPTasks.SaveAndClear();
    } catch (const std::exception&) {
        // Lists still loaded here belong to a run that already reported its errors.
    }
    CurrentConfig.reset();
    FinalizeInstanceGuard();
}

// The display went away (a logout, a lost remote display) while the window was up: a run stops
// as Ctrl+F8 stops it and ends as every run does, the windows go as they go at the end (each
// keeps its placement), and what stays beside the boxes is written. The process then ends with
// exit code 1.
void EndForLostDisplay(TFormMain* form) {
    const char* display = std::getenv("DISPLAY");
    const std::string name = display ? display : "";
    std::fprintf(stderr, "kestro: the connection to the display %s broke; kestro ends\n",
                 name.c_str());
    form->EndForLostDisplay(name);
    FreeWindows();
    CloseDown();
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && args[0] == "--help") {
        std::fprintf(stdout,
                     "usage: kestro [BOX...] [-dial[:NAME]] [-hangup[:NAME]] [-sendonly] [-cfg] "
                     "[-cfgonly] [-tray]\n"
                     "  Without a box the window opens and waits for your commands. BOX is a box "
                     "file (.cfg or the point program's .bfg); every box given is exchanged at "
                     "once and kestro ends with exit code 0, 1 (a transfer failed), 2 (a server "
                     "went silent) or 3 (another kestro was running).\n");
        return 0;
    }
    // Without a display the program runs on Qt's offscreen platform, where questions take their
    // default answer and are logged; on a display they show and wait, also for a run started
    // from the command line. Without a display nobody sees the window of a run started with
    // boxes: its windows keep what the run puts in them, but it runs on a QCoreApplication, with
    // no Qt widget, platform plugin or font system loaded for them.
    std::unique_ptr<QCoreApplication> qtApp =
        TApplication::InitializeQt(argc, argv, true, /*Unseen=*/!args.empty());

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

    // The tray icon and the windows show the program's own picture from their first showing on.
    Forms.SetIcon(ProgramIcon(16));
    // The window must be the application's main form: the application window passes its
    // activation (a second copy's start) on to it.
    RegisterMainFormClasses();
    // A run with boxes and no display shows its window to nobody: the window is made for what
    // the run keeps in it (its lists and status texts), it is not shown, nothing is painted, and
    // it keeps no window state (the window asks when it is made, so this is set before).
    if (!args.empty() && qobject_cast<QGuiApplication*>(qtApp.get()) == nullptr)
        Forms.ShowMainForm = false;
    TFormMain* form = Forms.CreateForm<TFormMain>();
    SetDisplayLostHandler([form] { EndForLostDisplay(form); });
    form->ParseCommandLine(args);
    form->SetIdleControls(true);
    form->SetStartInTray(form->CmdTray);
    form->PostRunIfArguments();
    Forms.Run();
    const int exitCode = RunExitCode();
    SetDisplayLostHandler(nullptr);
    FreeWindows();
    CloseDown();
    return exitCode;
}
