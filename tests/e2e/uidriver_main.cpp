// The sample run's driver: starts setup.exe on a medium, types the target, presses Start,
// answers every message box, saves screenshots and prints what it saw.
//   uidriver <setup.exe> <medium directory> <target directory> <screenshot directory>
#include <cstdio>

#include "ui_driver.h"

using namespace setup::e2e;

int main(int argc, char** argv) {
    SetupProcess setup;
    if (argc != 5 || !setup.Start(argv[1], argv[2]) || !setup.WaitForMainWindow(30000)) {
        std::fprintf(stderr,
                     "usage: uidriver <setup.exe> <medium> <target> <screenshot directory>\n"
                     "(setup.exe must start and show its window)\n");
        return 2;
    }
    auto shot = [&, shots = 0](const char* what) mutable {
        char path[MAX_PATH];
        std::snprintf(path, sizeof path, "%s\\%02d-%s.bmp", argv[4], ++shots, what);
        if (SaveScreenshot(CaptureScreen(), path)) std::printf("screenshot: %s\n", path);
    };
    shot("window");
    std::printf("target: %s\n", argv[3]);
    const SetupRun run = RunSetup(setup, argv[3], [&](const MessageBoxInfo&) { shot("message"); });
    for (const MessageBoxInfo& box : run.boxes)
        std::printf("message box after %lu ms \"%s\": %s\n", box.foundAt - run.startedAt, box.caption.c_str(),
                    box.text.c_str());
    if (!run.exitCode) {
        std::fprintf(stderr, "uidriver: setup.exe did not end\n");
        return 2;
    }
    std::printf("setup.exe exit code: %lu (%lu ms after Start)\n", *run.exitCode, GetTickCount() - run.startedAt);
    return static_cast<int>(*run.exitCode);
}
