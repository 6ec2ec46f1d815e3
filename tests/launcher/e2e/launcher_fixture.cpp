#include "launcher_fixture.h"

#include <chrono>
#include <cstdio>

#include "process_environment.h"

namespace launchertest {

Bytes TextBytes(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

bool ReadWholeFile(const std::string& path, Bytes* bytes) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    bytes->clear();
    unsigned char buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof(buffer), file)) > 0)
        bytes->insert(bytes->end(), buffer, buffer + got);
    std::fclose(file);
    return true;
}

bool WriteWholeFile(const std::string& path, const Bytes& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}

bool PathExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool MakeFolders(const std::string& path) {
    for (size_t i = 3; i <= path.size(); ++i)
        if (i == path.size() || path[i] == '\\')
            CreateDirectoryA(path.substr(0, i).c_str(), nullptr);
    return PathExists(path);
}

void RemoveTree(const std::string& path) {
    std::string folder = path;
    if (!folder.empty() && folder.back() == '\\') folder.pop_back();
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = entry.cFileName;
            if (name == "." || name == "..") continue;
            const std::string child = folder + "\\" + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(child);
            else
                DeleteFileA(child.c_str());
        } while (FindNextFileA(find, &entry));
        FindClose(find);
    }
    RemoveDirectoryA(folder.c_str());
}

const std::string& WorkFolder() {
    static const std::string folder = [] {
        char temp[MAX_PATH];
        GetTempPathA(sizeof(temp), temp);
        char name[64];
        std::snprintf(name, sizeof(name), "pantrix-e2e-%lu\\", GetCurrentProcessId());
        const std::string path = std::string(temp) + name;
        RemoveTree(path);
        MakeFolders(path.substr(0, path.size() - 1));
        return path;
    }();
    return folder;
}

std::string NewFolder(const std::string& name) {
    const std::string path = WorkFolder() + name;
    RemoveTree(path);
    MakeFolders(path);
    return path + "\\";
}

namespace {

// The build passes Unix paths; Wine sees the Unix root as drive Z:.
std::string WindowsPath(const char* unix_path) {
    std::string path = std::string("Z:") + unix_path;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

}  // namespace

const Bytes& LauncherProgram() {
    static const Bytes program = [] {
        Bytes bytes;
        ReadWholeFile(WindowsPath(PANTRIX_EXE), &bytes);
        return bytes;
    }();
    return program;
}

std::string TestVmPath() {
    return WindowsPath(PANTRIX_TEST_VM);
}

std::string JavaInstallerDoublePath() {
    return WindowsPath(PANTRIX_JAVA_INSTALLER_DOUBLE);
}

std::string ForcedTestVm() {
    return "-jvm:" + TestVmPath();
}

pantrix_pack::PackSection BootClassSection(const std::string& script) {
    return FileSection('F', "tolvimerboot.class", "tolvimerboot\n" + script);
}

pantrix_pack::LauncherContents DemoContents(const std::string& settings) {
    pantrix_pack::LauncherContents contents;
    contents.app_name = "Demo App";
    contents.exe_name = "Demo.exe";
    contents.settings = settings;
    contents.sections = {BootClassSection()};
    return contents;
}

pantrix_pack::PackSection FileSection(char type, const std::string& path,
                                      const std::string& content) {
    return {type, pantrix_pack::MakeFileRecord(path, TextBytes(content))};
}

std::string BuildLauncherFile(const pantrix_pack::LauncherContents& contents,
                              const std::string& folder, const std::string& file_name) {
    Bytes built;
    std::string reason;
    if (!pantrix_pack::BuildLauncher(LauncherProgram(), contents, &built, &reason)) {
        std::fprintf(stderr, "packaging failed: %s\n", reason.c_str());
        return "";
    }
    const std::string path = folder + file_name;
    return WriteWholeFile(path, built) ? path : "";
}

bool StartLauncher(const std::string& exe, const std::string& args, const RunOptions& options,
                   RunningLauncher* running) {
    SECURITY_ATTRIBUTES inheritable{sizeof(inheritable), nullptr, TRUE};
    HANDLE read_end = nullptr;
    HANDLE write_end = nullptr;
    if (!CreatePipe(&read_end, &write_end, &inheritable, 0)) return false;
    SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nullptr;
    startup.hStdOutput = write_end;
    startup.hStdError = write_end;
    std::string command = "\"" + exe + "\"" + (args.empty() ? "" : " " + args);
    std::string environment;
    if (!options.temp_path.empty()) environment = EnvironmentWithTemp(options.temp_path);
    const BOOL started = CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0,
                                        environment.empty() ? nullptr : environment.data(), nullptr,
                                        &startup, &running->process);
    CloseHandle(write_end);
    if (!started) {
        CloseHandle(read_end);
        return false;
    }
    running->output_read = read_end;
    return true;
}

RunResult FinishLauncher(RunningLauncher* running) {
    // Reads until every writer has closed the pipe (the launcher and the clean-up copy it
    // started), polling so that a process that holds the pipe for good cannot stall the test:
    // 30 seconds after the launcher has ended the output is taken as complete.
    RunResult result;
    const auto start = std::chrono::steady_clock::now();
    const auto now = [&] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    bool ended = false;
    double ended_at = 0;
    while (true) {
        if (!ended && WaitForSingleObject(running->process.hProcess, 0) == WAIT_OBJECT_0) {
            ended = true;
            ended_at = now();
            result.seconds = ended_at;
        }
        DWORD available = 0;
        if (!PeekNamedPipe(running->output_read, nullptr, 0, nullptr, &available, nullptr))
            break;  // every writer has closed it
        if (available > 0) {
            std::string buffer(available, '\0');
            DWORD got = 0;
            if (!ReadFile(running->output_read, buffer.data(), available, &got, nullptr)) break;
            result.output.append(buffer.data(), got);
            continue;
        }
        if ((ended && now() - ended_at > 30) || now() > 120) break;
        Sleep(10);
    }
    WaitForSingleObject(running->process.hProcess, 0);
    DWORD code = 0;
    GetExitCodeProcess(running->process.hProcess, &code);
    result.exit_code = static_cast<int>(code);
    CloseHandle(running->output_read);
    CloseHandle(running->process.hThread);
    CloseHandle(running->process.hProcess);
    return result;
}

RunResult RunLauncher(const std::string& exe, const std::string& args, const RunOptions& options) {
    RunningLauncher running;
    if (!StartLauncher(exe, args, options, &running)) return {};
    return FinishLauncher(&running);
}

std::vector<std::string> LogLines(const std::string& output) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < output.size()) {
        size_t end = output.find("\r\n", start);
        if (end == std::string::npos) end = output.size();
        const std::string line = output.substr(start, end - start);
        if (!line.empty() && line[0] == '!' && line.back() == ']') {
            const size_t stamp = line.rfind(" [");
            if (stamp != std::string::npos) lines.push_back(line.substr(1, stamp - 1));
        }
        start = end + 2;
    }
    return lines;
}

std::string LogValue(const std::string& output, const std::string& key) {
    for (const std::string& line : LogLines(output))
        if (line.compare(0, key.size(), key) == 0) return line.substr(key.size());
    return "";
}

bool HasLogLine(const std::string& output, const std::string& line) {
    for (const std::string& candidate : LogLines(output))
        if (candidate == line) return true;
    return false;
}

std::vector<std::string> FileLines(const std::string& path) {
    Bytes bytes;
    std::vector<std::string> lines;
    if (!ReadWholeFile(path, &bytes)) return lines;
    std::string line;
    for (unsigned char c : bytes) {
        if (c == '\n') {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            lines.push_back(line);
            line.clear();
        } else {
            line += static_cast<char>(c);
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

std::string RecordValue(const std::vector<std::string>& record, const std::string& key) {
    for (const std::string& line : record)
        if (line.compare(0, key.size(), key) == 0) return line.substr(key.size());
    return "";
}

bool WaitUntilGone(const std::string& path, int timeout_ms) {
    for (int waited = 0; waited <= timeout_ms; waited += 50) {
        if (!PathExists(path)) return true;
        Sleep(50);
    }
    return false;
}

}  // namespace launchertest
