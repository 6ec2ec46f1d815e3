#include "archive_fixtures.h"

#include <windows.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace qortest {

namespace {

// A folder of the build tree (a Linux path) as Wine sees it, through drive Z:.
std::string BuildFolder(std::string path) {
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return "Z:" + path;
}

constexpr char kRegistrationKey[] = "SOFTWARE\\Halvorne\\Corvelle\\Seven Zip";

}  // namespace

std::string ArchivePath(const std::string& name) {
    return BuildFolder(QOR_TEST_ARCHIVES_DIR) + name;
}

std::string BuiltCodecFolder() {
    return BuildFolder(QOR_TEST_CODECS_DIR);
}

std::map<std::string, std::string> PayloadFiles() {
    std::string numbers;
    for (int line = 1; line <= 20000; ++line)
        numbers += "line " + std::to_string(line) + " of the numbers file\n";
    return {
        {"readme.txt", "Readme of the test archive.\r\n"},
        {"docs\\guide.txt", "Guide line 1\r\nGuide line 2\r\n"},
        {"docs\\deep\\notes.txt", "Notes, deep down.\r\n"},
        {"data\\numbers.txt", numbers},
    };
}

std::map<std::string, std::string> FolderContents(const std::filesystem::path& folder) {
    std::map<std::string, std::string> contents;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        std::string relative = entry.path().lexically_relative(folder).string();
        if (entry.is_directory())
            contents[relative + "\\"] = "";
        else
            contents[relative] = ReadWholeFile(entry.path());
    }
    return contents;
}

std::string ReadWholeFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void WriteWholeFile(const std::filesystem::path& file, const std::string& content) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << content;
    if (!out) throw std::runtime_error("cannot write " + file.string());
}

TScratchFolder::TScratchFolder(const std::string& name) {
    path_ = std::filesystem::temp_directory_path() /
            ("qor-" + name + "-" + std::to_string(GetCurrentProcessId()));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
}

TScratchFolder::~TScratchFolder() {
    std::error_code ignored;
    // Read-only files left by a test would stop remove_all.
    for (const auto& entry : std::filesystem::recursive_directory_iterator(path_, ignored))
        SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
    std::filesystem::remove_all(path_, ignored);
}

std::string TScratchFolder::text() const {
    return path_.string() + "\\";
}

void SetCodecRegistration(const std::string& folder) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kRegistrationKey, 0, nullptr, 0, KEY_WRITE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        throw std::runtime_error("cannot create the codec registration key");
    LONG result = ERROR_SUCCESS;
    if (folder.empty())
        RegDeleteValueA(key, "Path");
    else
        result =
            RegSetValueExA(key, "Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                           static_cast<DWORD>(folder.size() + 1));
    RegCloseKey(key);
    if (result != ERROR_SUCCESS) throw std::runtime_error("cannot write the codec registration");
}

}  // namespace qortest
