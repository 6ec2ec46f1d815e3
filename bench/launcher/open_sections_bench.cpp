// Open sections on a large launcher: the whole-file scan and both checks of every section,
// dominated by the section hash. Prints MB/s for the scan of an image in memory and, on
// Windows, for the launcher's own path through a read-only mapping of a file on disk.
//   open_sections_bench [megabytes, default 100] [rounds, default 5]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "packager.h"
#include "section_container.h"

#ifdef _WIN32
#include <windows.h>

#include "program_sections.h"
#endif

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

// A shipped-like layout scaled up: program bytes, the settings, four file sections sharing
// the payload, and a 'J' section.
pantrix_pack::Bytes MakeImage(size_t megabytes) {
    pantrix_pack::Bytes image(30208);
    for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<unsigned char>(i * 13);
    const std::string settings = std::string("mx=256\njars=a.jar;b.jar;c.jar;\n") + '\0';
    pantrix_pack::AppendSection(&image, 'V', pantrix_pack::Bytes(settings.begin(), settings.end()));
    const size_t each = megabytes * 1024 * 1024 / 5;
    pantrix_pack::Bytes content(each);
    for (size_t i = 0; i < each; ++i)
        content[i] = static_cast<unsigned char>(i * 2654435761u >> 13);
    for (const char* name : {"a.jar", "b.jar", "c.jar", "d.jar", "setup.exe"})
        pantrix_pack::AppendSection(&image, name[0] == 's' ? 'J' : 'F',
                                    pantrix_pack::MakeFileRecord(name, content));
    return image;
}

}  // namespace

int main(int argc, char** argv) {
    const size_t megabytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
    const pantrix_pack::Bytes image = MakeImage(megabytes);
    const double mb = static_cast<double>(image.size()) / (1024.0 * 1024.0);
    const pantrix::SectionExpectations expect{6, static_cast<int32_t>(image.size()), "Bench.exe"};

    double best = 1e9;
    for (int round = 0; round < rounds; ++round) {
        pantrix::SectionTable table;
        pantrix::LaunchError error;
        const auto start = Clock::now();
        if (!pantrix::OpenSectionTable(image.data(), image.size(), expect, &table, &error)) {
            std::fprintf(stderr, "open failed: %s\n", error.text);
            return 1;
        }
        const double seconds = Seconds(start);
        if (seconds < best) best = seconds;
    }
    std::printf("in memory: %.1f MB in %.1f ms: %.0f MB/s (best of %d)\n", mb, best * 1000,
                mb / best, rounds);

#ifdef _WIN32
    char temp[MAX_PATH];
    GetTempPathA(sizeof(temp), temp);
    const std::string path = std::string(temp) + "pantrix-open-bench.bin";
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file || std::fwrite(image.data(), 1, image.size(), file) != image.size()) return 1;
    std::fclose(file);
    best = 1e9;
    for (int round = 0; round < rounds; ++round) {
        pantrix::ProgramSections sections;
        pantrix::LaunchError error;
        const auto start = Clock::now();
        if (!pantrix::OpenProgramSections(path.c_str(), expect, &sections, &error)) {
            std::fprintf(stderr, "open failed: %s\n", error.text);
            return 1;
        }
        pantrix::ReleaseProgramSections(&sections);
        const double seconds = Seconds(start);
        if (seconds < best) best = seconds;
    }
    DeleteFileA(path.c_str());
    std::printf("mapped file: %.1f MB in %.1f ms: %.0f MB/s (best of %d)\n", mb, best * 1000,
                mb / best, rounds);
#endif
    return 0;
}
