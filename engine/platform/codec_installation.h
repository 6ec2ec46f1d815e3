#pragma once
// The codec installation: the engine carries 7-Zip's format library as an RCDATA resource of
// its own program file and writes it where qor.dll looks for it, then registers that folder.
// InstallCodecs() runs once at start, before the program entry's work (the entry calls it
// first). Failures are silent: archives then fail to open, and the archive operations say so.
//
// Of the seven codec files that a split 7-Zip needs (Codecs\Aes.dll, 7zAes.dll, Branch.dll,
// Copy.dll, LZMA.dll, Swap.dll and Formats\7z.dll), only Formats\7z.dll is carried: the 7z.dll
// built from 7-Zip's Format7zF bundle has the LZMA/LZMA2, AES-256 (7zAES), branch-converter,
// copy and byte-swap codecs built in, and qor.dll loads nothing else.

#include <array>
#include <string>

struct CodecFile {
    const char* resource;  // RCDATA resource name in the program file
    const char* file;      // path below base + "Seven Zip\"
};
inline constexpr std::array<CodecFile, 1> kCodecFiles = {{{"FORMAT7Z", "Formats\\7z.dll"}}};

// The folder under which "Seven Zip\" is installed, with a trailing backslash: the local
// application-data folder (NT family; else the roaming one; else the folder above the desktop
// + "Application Data\"), or the common program files folder (9x family). Empty on failure.
std::string CodecBaseFolder();

// Writes every codec file below base + "Seven Zip\" (replacing what is there, read-only or
// not) and then the registration value "Path" (HKEY_CURRENT_USER
// "SOFTWARE\Halvorne\Corvelle\Seven Zip") = base + "Seven Zip\". Stops at the first failure.
// Returns whether the registration was written; the engine ignores the answer.
bool InstallCodecsInto(const std::string& base);

// InstallCodecsInto(CodecBaseFolder()).
void InstallCodecs();
