// Extraction throughput through qor.dll, the way the engine extracts media: the codecs are
// installed from this program's own resource, the archive is listed and then extracted with
// every name, keeping folders and overwriting.
//   archive_extract_bench ARCHIVE TARGET-FOLDER   (bench/archive_extract/run.sh sets it up)
// Prints the bytes written and the seconds spent; exit code 1 with the failure text.

#include <chrono>
#include <cstdio>
#include <string>

#include "archive_operations.h"
#include "codec_installation.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: archive_extract_bench ARCHIVE TARGET-FOLDER\n");
        return 2;
    }
    InstallCodecs();
    uint64_t bytes = 0;
    const ExtractionProgress progress = [&](const std::string&, uint64_t done, uint64_t) {
        bytes = done;
        return true;
    };
    const auto start = std::chrono::steady_clock::now();
    const ArchiveExtractResult result =
        ExtractFromArchive(argv[1], "", argv[2], std::nullopt, progress, true, true);
    const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
    if (!result.ok) {
        std::fprintf(stderr, "extraction failed: %s\n", result.failure.c_str());
        return 1;
    }
    std::printf("%llu bytes in %.2f s\n", static_cast<unsigned long long>(bytes), spent.count());
    return 0;
}
