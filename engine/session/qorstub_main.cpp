// qorstub: the setup engine. A setup program is a copy of this program with a compiled setup
// script appended to its file.
#include <windows.h>

#include "codec_installation.h"
#include "setup_startup.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // The archive library needs the codec files before anything is extracted.
    InstallCodecs();
    return RunSetupProgram();
}
