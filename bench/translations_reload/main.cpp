// Benchmark: LoadTranslations before every statement of a long script with a language
// selected and unchanged translation files. Writes a set of translation files of realistic
// size into a temporary folder, calls LoadTranslations 100,000 times through the Windows file
// access, and prints how often each file was read and the time per call; for comparison, the
// time of loading the files afresh, as a reload before every statement would cost.
//
// Run: wine64 translations_reload_bench.exe [calls]

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "translation_files.h"
#include "translations.h"

namespace {

// The Windows file access, counting what it is asked.
class CountingFiles : public TranslationFiles {
public:
    FileStamp Stamp(const std::string& path) const override {
        ++stamps;
        return real_.Stamp(path);
    }
    FileRead Read(const std::string& path, std::uint64_t limit) const override {
        ++reads[path];
        return real_.Read(path, limit);
    }
    mutable long long stamps = 0;
    mutable std::map<std::string, long long> reads;

private:
    WindowsTranslationFiles real_;
};

bool WriteFile(const std::string& path, const std::string& bytes) {
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD done = 0;
    const bool ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &done,
                                nullptr) &&
                    done == bytes.size();
    CloseHandle(file);
    return ok;
}

double Seconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

}  // namespace

int main(int argc, char** argv) {
    const long calls = argc > 1 ? std::atol(argv[1]) : 100000;
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string folder =
        std::string(temp) + "qor-translations-bench-" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(folder.c_str(), nullptr);

    // 40 dialogs of 25 controls and 500 statements of 3 parameters: 2,500 lines per list.
    std::string scopes, keys, texts, shared;
    for (int d = 0; d < 40; ++d) {
        for (int c = 0; c < 25; ++c) {
            scopes += "Dialog" + std::to_string(d) + ".dfm\r\n";
            keys += "Control" + std::to_string(c) + "\r\n";
            texts += "Uebersetzter Text des Steuerelements " + std::to_string(c) + "\r\n";
        }
    }
    for (int s = 0; s < 500; ++s) {
        char id[48];
        std::snprintf(id, sizeof id, "{A6F02697-E4B1-459B-B64F-%012d}", s);
        for (int k = 0; k < 3; ++k) {
            scopes += "\r\n";
            keys += (k == 0 ? std::string(id) : std::string()) + "\r\n";
            texts += "Parameter " + std::to_string(k + 1) + " der Anweisung " + std::to_string(s) +
                     "\r\n";
        }
    }
    for (std::size_t line = 1; line <= kMessageBlockLines; ++line) {
        shared += "Meldung " + std::to_string(line) + "\r\n";
    }
    const std::string title = "Sample Product";
    if (!WriteFile(folder + "translations.Map", scopes) || !WriteFile(folder + title + ".mtx", keys) ||
        !WriteFile(folder + "translations.German", texts) ||
        !WriteFile(folder + "shared.translations.German", shared)) {
        std::fprintf(stderr, "cannot write the translation files in %s\n", folder.c_str());
        return 1;
    }

    CountingFiles files;
    Translations translations(files);
    const auto start = std::chrono::steady_clock::now();
    for (long i = 0; i < calls; ++i) {
        if (!translations.LoadTranslations(folder, title, "German").ok) {
            std::fprintf(stderr, "LoadTranslations failed at call %ld\n", i);
            return 1;
        }
    }
    const double cached = Seconds(std::chrono::steady_clock::now() - start);

    // The cost of one load that reads everything: a fresh state each time.
    const long fresh_calls = 200;
    const auto fresh_start = std::chrono::steady_clock::now();
    for (long i = 0; i < fresh_calls; ++i) {
        WindowsTranslationFiles disk;
        Translations fresh(disk);
        if (!fresh.LoadTranslations(folder, title, "German").ok) return 1;
    }
    const double fresh = Seconds(std::chrono::steady_clock::now() - fresh_start) / fresh_calls;

    std::printf("LoadTranslations calls: %ld (4 files, %zu bytes in total)\n", calls,
                scopes.size() + keys.size() + texts.size() + shared.size());
    for (const auto& [path, count] : files.reads) {
        std::printf("  reads of %s: %lld\n", path.substr(folder.size()).c_str(), count);
    }
    std::printf("  file stamps taken: %lld\n", files.stamps);
    std::printf("  total %.3f s, %.2f us per call\n", cached, cached * 1e6 / calls);
    std::printf("one load reading all files: %.1f us; %ld such loads would take %.1f s (%.0fx)\n",
                fresh * 1e6, calls, fresh * calls, fresh * calls / cached);

    for (const char* name : {"translations.Map", "translations.German",
                             "shared.translations.German"}) {
        DeleteFileA((folder + name).c_str());
    }
    DeleteFileA((folder + title + ".mtx").c_str());
    RemoveDirectoryA(folder.c_str());
    return 0;
}
