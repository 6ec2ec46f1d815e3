// Pantrix: the launcher of an installed Java application (Windows GUI subsystem, no window).
#include <windows.h>

#include "main_sequence.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    pantrix::RunMainSequence();
}
