#pragma once

// The program entry of the setup engine (after the codec installation, which runs first):
//
//  1. Pins the process to the first processor (SetProcessAffinityMask, when kernel32 has it).
//  2. Works out the program folder, the base name (the program's file name without its
//     extension) and the temporary folder (GetTempPathA; created when missing).
//  3. Applies the language list appended to "qor.dll" in the program folder as a message file
//     (a missing or unreadable library, or one without a list, changes nothing).
//  4. Reads the command line (command_line.h).
//  5. Unless silent or started with "update"/"updatesetup": creates TSetupSplash and TSetupInit,
//     shows the splash with "setup.bmp" when the program folder has one and the preparation
//     window beside it (startup_layout.h), or the preparation window alone, centred.
//  6. Loads the script appended to the program's own file; none: exit code 13.
//  7. Creates the support folder: the temporary folder + "qor" + N + "\", smallest free N.
//  8. Extracts base + ".res" with its folders into the support folder; missing: code 14,
//     failing: code 15.
//  9. Copies base + ".msi" and base + ".msp" (those that exist; neither: code 16) into the
//     support folder and makes the copies writable.
// 10. Sets the data folder to the program folder + "data\".
// 11. Counts the active "Display Dialog" statements; with the windows shown the progress bar
//     runs from 0 to that count, at 1.
// 12. Loads every wizard dialog in advance (see kDialogRuntimeMissing in setup_startup.cpp).
// 13. Destroys the start-up windows.
// 14. Runs the script (RunScript).
// 15. Removes the support folder (its contents in three passes, then the folder itself).
// 16. Returns the exit code: 0, or what a statement set.
//
// The endings with codes 13 to 16 show their message with the error icon, the message caption
// and the preparation window as owner, unless silent, and leave the support folder in place. Any
// other error that escapes shows "Runtime error in install: " + its text without an owner
// (unless silent), removes the support folder and ends with code 11.

// Exit codes of the setup program.
inline constexpr int kExitNormal = 0;
inline constexpr int kExitRuntimeError = 11;
inline constexpr int kExitNoScript = 13;
inline constexpr int kExitResourceMissing = 14;
inline constexpr int kExitResourceBroken = 15;
inline constexpr int kExitDatabaseMissing = 16;

// Runs the whole start-up sequence and the script; returns the exit code for the process.
int RunSetupProgram();
