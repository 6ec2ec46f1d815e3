// qorscript: compiles a script listing (see script_compiler.h) and builds a setup program.
//
//   qorscript LISTING PROGRAM OUTPUT   write PROGRAM, cut at its overlay start, with the
//                                      compiled script appended, to OUTPUT
//   qorscript --text LISTING OUTPUT    write the compiled script text alone to OUTPUT
//
// Exit codes: 0 done, 1 the listing has errors (printed one a line), 2 wrong arguments or a
// file that cannot be read or written.
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>

#include "script_compiler.h"

namespace {

std::optional<std::string> ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad()) return std::nullopt;
    return bytes;
}

bool WriteFile(const std::string& path, std::string_view bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.close();
    return static_cast<bool>(file);
}

int Usage() {
    std::cerr << "usage: qorscript LISTING PROGRAM OUTPUT\n"
                 "       qorscript --text LISTING OUTPUT\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const bool text_only = argc == 4 && std::string_view(argv[1]) == "--text";
    if (argc != 4) return Usage();
    const std::string listing_path = text_only ? argv[2] : argv[1];
    const std::string output_path = argv[3];

    const auto listing = ReadFile(listing_path);
    if (!listing) {
        std::cerr << "qorscript: cannot read " << listing_path << "\n";
        return 2;
    }
    const qorscript::Compiled compiled = qorscript::CompileListing(*listing);
    for (const std::string& error : compiled.errors) {
        std::cerr << listing_path << ": " << error << "\n";
    }
    if (!compiled.ok()) return 1;

    std::string output = compiled.script;
    if (!text_only) {
        const auto program = ReadFile(argv[2]);
        if (!program) {
            std::cerr << "qorscript: cannot read " << argv[2] << "\n";
            return 2;
        }
        qorscript::SetupProgram setup = qorscript::AppendScript(*program, compiled.script);
        if (!setup.error.empty()) {
            std::cerr << "qorscript: " << argv[2] << ": " << setup.error << "\n";
            return 2;
        }
        output = std::move(setup.bytes);
    }
    if (!WriteFile(output_path, output)) {
        std::cerr << "qorscript: cannot write " << output_path << "\n";
        return 2;
    }
    return 0;
}
