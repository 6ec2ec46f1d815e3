#include "java_paths.h"

#include <cstring>

namespace pantrix {
namespace {

// Appends to a buffer sized in advance by the caller.
struct TextBuilder {
    char* data;
    size_t used = 0;
    void Add(std::string_view part) {
        std::memcpy(data + used, part.data(), part.size());
        used += part.size();
        data[used] = '\0';
    }
};

}  // namespace

CountedBuffer ComposeClassPath(std::string_view temp_folder, std::string_view program_folder,
                               std::string_view jars, std::string_view extra) {
    // Every jar adds at most ";" + the longer folder + "\" to its own length.
    const size_t longer =
        temp_folder.size() > program_folder.size() ? temp_folder.size() : program_folder.size();
    size_t jar_count = 1;
    for (char c : jars)
        if (c == ';') ++jar_count;
    CountedBuffer path(temp_folder.size() + jars.size() + jar_count * (longer + 2) +
                       program_folder.size() + extra.size() + 3);
    TextBuilder out{path.get()};
    out.Add(temp_folder);
    size_t start = 0;
    while (start <= jars.size()) {
        size_t end = jars.find(';', start);
        if (end == std::string_view::npos) end = jars.size();
        const std::string_view jar = jars.substr(start, end - start);
        if (!jar.empty()) {
            out.Add(";");
            out.Add(jar.front() == '.' ? program_folder : temp_folder);
            out.Add("\\");
            out.Add(jar);
        }
        start = end + 1;
    }
    out.Add(";");
    out.Add(program_folder);
    if (!extra.empty()) {
        out.Add(";");
        out.Add(extra);
    }
    return path;
}

CountedBuffer ComposeSearchPath(std::string_view temp_folder, std::string_view program_folder,
                                std::string_view rest) {
    CountedBuffer path(temp_folder.size() + program_folder.size() + rest.size() + 3);
    TextBuilder out{path.get()};
    out.Add(temp_folder);
    out.Add(";");
    out.Add(program_folder);
    out.Add(";");
    out.Add(rest);
    return path;
}

std::optional<std::string_view> RuntimeFolderOf(std::string_view library_path) {
    const size_t last = library_path.rfind('\\');
    if (last == std::string_view::npos || last == 0) return std::nullopt;
    const size_t before = library_path.rfind('\\', last - 1);
    if (before == std::string_view::npos) return std::nullopt;
    return library_path.substr(0, before);
}

}  // namespace pantrix
