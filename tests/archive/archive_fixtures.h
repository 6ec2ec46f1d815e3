#pragma once
// Shared by the archive and media tests: the archives that make-archives.sh builds at build
// time, what they contain, scratch folders, and the codec registration.

#include <filesystem>
#include <map>
#include <string>

namespace qortest {

// Full Windows path of a fixture archive ("lzma2.7z").
std::string ArchivePath(const std::string& name);

// The files of the test payload (relative path with '\' -> content). The archives also hold
// the folders "data", "docs", "docs\deep" and, unless encrypted, the empty folder "empty".
std::map<std::string, std::string> PayloadFiles();

// The files below `folder` (relative path with '\' -> content), folders ending in '\'.
std::map<std::string, std::string> FolderContents(const std::filesystem::path& folder);

std::string ReadWholeFile(const std::filesystem::path& file);
void WriteWholeFile(const std::filesystem::path& file, const std::string& content);

// A new empty folder below the temporary folder, removed with everything in it at the end.
class TScratchFolder {
  public:
    explicit TScratchFolder(const std::string& name);
    ~TScratchFolder();
    TScratchFolder(const TScratchFolder&) = delete;
    TScratchFolder& operator=(const TScratchFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The folder as 8-bit text with a trailing backslash.
    std::string text() const;

  private:
    std::filesystem::path path_;
};

// Writes the codec registration, the value "Path" of HKEY_CURRENT_USER
// "SOFTWARE\Halvorne\Corvelle\Seven Zip", as `folder`; with an empty text it deletes it.
void SetCodecRegistration(const std::string& folder);

// A folder of the build tree that holds "Formats\7z.dll", with a trailing '\'.
std::string BuiltCodecFolder();

}  // namespace qortest
