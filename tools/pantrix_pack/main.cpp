// pantrix-pack: builds a launcher for one application from the launcher program, a settings
// text and the application's files.
//
//   pantrix-pack --launcher Pantrix.exe --out App.exe --app-name NAME --exe-name NAME
//                --settings settings.txt [--add TYPE:RELATIVE_PATH=LOCAL_FILE]...
//                [--add-raw TYPE=LOCAL_FILE]...
//
// --add writes LOCAL_FILE as a file record named RELATIVE_PATH in a section of TYPE ('F' or
// 'B' for application files, 'J' for a Java runtime installer); --add-raw writes a file's
// bytes as the payload of a section of another TYPE (such as 'Z'). Sections follow the
// settings section in the order given.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "packager.h"

namespace {

using pantrix_pack::Bytes;

bool ReadFile(const std::string& path, Bytes* bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

bool WriteFile(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

int Usage() {
    std::fprintf(stderr,
                 "usage: pantrix-pack --launcher Pantrix.exe --out App.exe --app-name NAME "
                 "--exe-name NAME --settings FILE [--add TYPE:PATH=FILE]... "
                 "[--add-raw TYPE=FILE]...\n");
    return 2;
}

// "T:rest" or "T=rest" with a one-letter type.
bool SplitType(const std::string& value, char separator, char* type, std::string* rest) {
    if (value.size() < 3 || value[1] != separator) return false;
    *type = value[0];
    *rest = value.substr(2);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::string launcher_path, out_path, settings_path;
    pantrix_pack::LauncherContents contents;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (i + 1 >= argc) return Usage();
        const std::string value = argv[++i];
        if (option == "--launcher") {
            launcher_path = value;
        } else if (option == "--out") {
            out_path = value;
        } else if (option == "--app-name") {
            contents.app_name = value;
        } else if (option == "--exe-name") {
            contents.exe_name = value;
        } else if (option == "--settings") {
            settings_path = value;
        } else if (option == "--add") {
            char type = 0;
            std::string rest;
            const size_t equals = value.find('=');
            if (!SplitType(value, ':', &type, &rest) || equals == std::string::npos) return Usage();
            const std::string relative = value.substr(2, equals - 2);
            Bytes content;
            if (!ReadFile(value.substr(equals + 1), &content)) {
                std::fprintf(stderr, "pantrix-pack: cannot read %s\n", value.c_str() + equals + 1);
                return 1;
            }
            contents.sections.push_back({type, pantrix_pack::MakeFileRecord(relative, content)});
        } else if (option == "--add-raw") {
            char type = 0;
            std::string file;
            if (!SplitType(value, '=', &type, &file)) return Usage();
            Bytes content;
            if (!ReadFile(file, &content)) {
                std::fprintf(stderr, "pantrix-pack: cannot read %s\n", file.c_str());
                return 1;
            }
            contents.sections.push_back({type, content});
        } else {
            return Usage();
        }
    }
    if (launcher_path.empty() || out_path.empty() || settings_path.empty()) return Usage();

    Bytes launcher, settings;
    if (!ReadFile(launcher_path, &launcher) || !ReadFile(settings_path, &settings)) {
        std::fprintf(stderr, "pantrix-pack: cannot read the launcher or the settings\n");
        return 1;
    }
    contents.settings.assign(settings.begin(), settings.end());
    Bytes built;
    std::string reason;
    if (!pantrix_pack::BuildLauncher(launcher, contents, &built, &reason)) {
        std::fprintf(stderr, "pantrix-pack: %s\n", reason.c_str());
        return 1;
    }
    if (!WriteFile(out_path, built)) {
        std::fprintf(stderr, "pantrix-pack: cannot write %s\n", out_path.c_str());
        return 1;
    }
    return 0;
}
