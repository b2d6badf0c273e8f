// The sample run's driver: starts setup.exe on a medium, types the target, presses Start,
// answers every message box, saves screenshots and prints what it saw.
//   uidriver <setup.exe> <medium directory> <target directory> <screenshot directory>
#include <cstdio>
#include <string>

#include "ui_driver.h"

using namespace setup::e2e;

namespace {

int shotNumber = 0;

void Shot(const std::string& directory, const std::string& what) {
    char name[32];
    std::snprintf(name, sizeof name, "%02d-", ++shotNumber);
    std::string path = directory + "\\" + name + what + ".bmp";
    if (SaveScreenshot(path)) std::printf("screenshot: %s\n", path.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: uidriver <setup.exe> <medium> <target> <screenshot directory>\n");
        return 2;
    }
    const std::string shots = argv[4];
    SetupProcess setup;
    if (!setup.Start(argv[1], argv[2])) {
        std::fprintf(stderr, "uidriver: cannot start %s\n", argv[1]);
        return 2;
    }
    if (setup.WaitForMainWindow(30000)) {
        Shot(shots, "window");
        setup.SetEditText(350, argv[3]);
        std::printf("target: %s\n", argv[3]);
        Settle();
        setup.Click(200);
    }
    const DWORD started = GetTickCount();
    // Every closing message and error box until the program ends.
    while (auto box = setup.WaitForMessageBox(120000)) {
        Shot(shots, "message");
        std::printf("message box after %lu ms \"%s\": %s\n", static_cast<unsigned long>(box->foundAt - started),
                    box->caption.c_str(), box->text.c_str());
        setup.PressOk(*box);
    }
    auto code = setup.WaitForExit(30000);
    if (!code) {
        std::fprintf(stderr, "uidriver: setup.exe did not end\n");
        return 2;
    }
    std::printf("setup.exe exit code: %lu (%lu ms after Start)\n", static_cast<unsigned long>(*code),
                static_cast<unsigned long>(GetTickCount() - started));
    return static_cast<int>(*code);
}
