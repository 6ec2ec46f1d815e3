#include "script_loader.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <limits>
#include <utility>
#include <vector>

namespace {

// ---- PE headers -------------------------------------------------------------------------

constexpr std::size_t kDosHeaderSize = 0x40;
constexpr std::size_t kPeOffsetField = 0x3C;
constexpr std::size_t kPeSignatureSize = 4;
constexpr std::size_t kFileHeaderSize = 20;
constexpr std::size_t kSectionCountField = 2;         // within the file header
constexpr std::size_t kOptionalHeaderSizeField = 16;  // within the file header
constexpr std::size_t kSectionEntrySize = 40;
constexpr std::size_t kRawSizeField = 16;    // within a section entry
constexpr std::size_t kRawOffsetField = 20;  // within a section entry

std::uint32_t Read16(std::span<const std::uint8_t> bytes, std::size_t at) {
    return bytes[at] | (bytes[at + 1] << 8);
}

std::uint32_t Read32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint32_t>(bytes[at]) |
           (static_cast<std::uint32_t>(bytes[at + 1]) << 8) |
           (static_cast<std::uint32_t>(bytes[at + 2]) << 16) |
           (static_cast<std::uint32_t>(bytes[at + 3]) << 24);
}

// Where the file header starts, or nothing when the DOS and PE signatures are not there.
std::optional<std::uint64_t> FileHeaderOffset(std::span<const std::uint8_t> headers) {
    if (headers.size() < kDosHeaderSize || headers[0] != 'M' || headers[1] != 'Z') return {};
    const std::uint64_t pe = Read32(headers, kPeOffsetField);
    if (pe + kPeSignatureSize + kFileHeaderSize > headers.size()) return {};
    const auto at = static_cast<std::size_t>(pe);
    if (headers[at] != 'P' || headers[at + 1] != 'E' || headers[at + 2] != 0 ||
        headers[at + 3] != 0) {
        return {};
    }
    return pe + kPeSignatureSize;
}

// The number of header bytes that FindOverlayStart needs, as far as `headers` tells.
std::uint64_t SectionTableEnd(std::span<const std::uint8_t> headers) {
    const auto file_header = FileHeaderOffset(headers);
    if (!file_header) return headers.size();
    const auto at = static_cast<std::size_t>(*file_header);
    return *file_header + kFileHeaderSize + Read16(headers, at + kOptionalHeaderSizeField) +
           std::uint64_t{kSectionEntrySize} * Read16(headers, at + kSectionCountField);
}

// ---- Script text ------------------------------------------------------------------------

const std::string kTerminator = "$";
const std::string kDamaged = "The setup script is damaged: ";

// Lines of the script text; a line ends at CR LF or at a lone LF, the last line may lack both.
class LineReader {
  public:
    explicit LineReader(std::string_view text) : text_(text) {}

    std::optional<std::string_view> Next() {
        if (position_ >= text_.size()) return {};
        const std::size_t end = text_.find('\n', position_);
        std::string_view line;
        if (end == std::string_view::npos) {
            line = text_.substr(position_);
            position_ = text_.size();
        } else {
            line = text_.substr(position_, end - position_);
            if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
            position_ = end + 1;
        }
        return line;
    }

  private:
    std::string_view text_;
    std::size_t position_ = 0;
};

// Leading blanks, an optional sign and decimal digits, nothing else.
template <typename Integer>
std::optional<Integer> ParseDecimal(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty() || text.front() == '+') return {};
    Integer value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return {};
    return value;
}

class ScriptParser {
  public:
    explicit ScriptParser(std::string_view text) : lines_(text) {}

    // One section: the lines up to the terminator line "$".
    bool Section(std::string_view name, std::vector<std::string>& out) {
        while (const auto line = lines_.Next()) {
            if (*line == kTerminator) return true;
            out.emplace_back(*line);
        }
        return Fail("it ends inside the section of " + std::string(name) +
                    " (no line \"$\" closes it)");
    }

    // A single-line position.
    bool Line(std::string_view name, std::string& out) {
        const auto line = lines_.Next();
        if (!line) return Fail("it ends before the " + std::string(name) + " line");
        out = *line;
        return true;
    }

    // A section read as groups of `size` lines.
    bool Groups(std::string_view name, std::size_t size, std::vector<std::string>& out) {
        if (!Section(name, out)) return false;
        if (out.size() % size != 0) {
            return Fail("the section of " + std::string(name) + " holds " +
                        std::to_string(out.size()) + " lines, not groups of " +
                        std::to_string(size));
        }
        return true;
    }

    bool Fail(std::string detail) {
        error_ = kDamaged + std::move(detail);
        return false;
    }

    const std::string& Error() const { return error_; }

  private:
    LineReader lines_;
    std::string error_;
};

bool ParseStatements(ScriptParser& parser, ScriptImage& image) {
    std::vector<std::string> commands, ids, parameters, flags;
    if (!parser.Section("command names", commands) ||
        !parser.Section("statement identifiers", ids) ||
        !parser.Section("parameter lines", parameters) ||
        !parser.Section("disabled flags", flags)) {
        return false;
    }
    if (commands.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        return parser.Fail("it holds more statements than a 32-bit index can number");
    }
    for (const auto& [name, lines] :
         {std::pair{"statement identifiers", &ids}, std::pair{"disabled flags", &flags}}) {
        if (lines->size() != commands.size()) {
            return parser.Fail("the section of " + std::string(name) + " holds " +
                               std::to_string(lines->size()) + " lines for " +
                               std::to_string(commands.size()) + " statements");
        }
    }
    image.Statements.resize(commands.size());
    for (std::size_t i = 0; i < commands.size(); ++i) {
        Statement& statement = image.Statements[i];
        statement.Index = static_cast<std::int32_t>(i);
        statement.Command = std::move(commands[i]);
        statement.Id = std::move(ids[i]);
        statement.Disabled = flags[i] == "C";
    }
    image.SetParameterLines(std::move(parameters));
    return true;
}

bool ParseIdentity(ScriptParser& parser, ScriptImage& image) {
    return parser.Line("product code", image.ProductCode) &&
           parser.Line("product title", image.ProductTitle) &&
           parser.Section("plug-in commands", image.PluginCommands) &&
           parser.Line("company", image.Company) && parser.Line("contact", image.Contact) &&
           parser.Line("help link", image.HelpLink) &&
           parser.Line("update address", image.UpdateUrl) &&
           parser.Line("comments", image.Comments) && parser.Line("version", image.ProductVersion);
}

bool ParseMedia(ScriptParser& parser, ScriptImage& image) {
    std::vector<std::string> passwords, media;
    std::string layout;
    if (!parser.Groups("archive passwords", 2, passwords) ||
        !parser.Section("statement media", media) || !parser.Line("media layout", layout)) {
        return false;
    }
    for (std::size_t i = 0; i < passwords.size(); i += 2) {
        image.ArchivePasswords.push_back({std::move(passwords[i]), std::move(passwords[i + 1])});
    }
    if (media.size() != image.Statements.size()) {
        return parser.Fail("the section of statement media holds " + std::to_string(media.size()) +
                           " lines for " + std::to_string(image.Statements.size()) + " statements");
    }
    for (std::size_t i = 0; i < media.size(); ++i) {
        image.Statements[i].MediaFolder = std::move(media[i]);
    }
    const auto value = ParseDecimal<std::int32_t>(layout);
    if (!value) {
        return parser.Fail("the media layout line \"" + layout + "\" is not a decimal integer");
    }
    image.MediaLayout = *value;
    return true;
}

bool ParseComponentsAndFiles(ScriptParser& parser, ScriptImage& image) {
    std::vector<std::string> sizes, files;
    if (!parser.Groups("component sizes", 2, sizes) ||
        !parser.Line("revision code", image.RevisionCode) ||
        !parser.Groups("file list", 3, files)) {
        return false;
    }
    for (std::size_t i = 0; i < sizes.size(); i += 2) {
        const auto bytes = ParseDecimal<std::int64_t>(sizes[i + 1]);
        if (!bytes) {
            return parser.Fail("the size \"" + sizes[i + 1] + "\" of component \"" + sizes[i] +
                               "\" is not a decimal integer");
        }
        image.ComponentSizes.push_back({std::move(sizes[i]), *bytes});
    }
    for (std::size_t i = 0; i < files.size(); i += 3) {
        image.FileList.push_back(
            {std::move(files[i]), std::move(files[i + 1]), std::move(files[i + 2])});
    }
    return true;
}

bool ParseLanguageAndHeaders(ScriptParser& parser, ScriptImage& image) {
    std::string choice;
    std::vector<std::string> headers;
    if (!parser.Line("language choice", choice) ||
        !parser.Line("default language", image.DefaultLanguage) ||
        !parser.Groups("command headers", 2, headers)) {
        return false;
    }
    image.OfferLanguageChoice = choice == "TRUE";
    std::vector<CommandHeader> pairs;
    pairs.reserve(headers.size() / 2);
    for (std::size_t i = 0; i < headers.size(); i += 2) {
        pairs.push_back({std::move(headers[i]), std::move(headers[i + 1])});
    }
    image.SetCommandHeaders(std::move(pairs));
    return true;
}

// Reads up to `count` bytes from the start of an open file.
std::vector<std::uint8_t> ReadPrefix(std::ifstream& file, std::uint64_t count) {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(count));
    file.clear();
    file.seekg(0);
    file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(count));
    bytes.resize(static_cast<std::size_t>(std::max<std::streamsize>(file.gcount(), 0)));
    return bytes;
}

std::optional<std::uint64_t> FileSize(std::ifstream& file) {
    file.seekg(0, std::ios::end);
    const auto size = file.tellg();
    if (!file || size < 0) return {};
    return static_cast<std::uint64_t>(size);
}

}  // namespace

std::optional<std::uint32_t> FindOverlayStart(std::span<const std::uint8_t> headers,
                                              std::uint64_t file_size) {
    const auto file_header = FileHeaderOffset(headers);
    if (!file_header) return {};
    const auto at = static_cast<std::size_t>(*file_header);
    const std::uint32_t sections = Read16(headers, at + kSectionCountField);
    const std::uint64_t table =
        *file_header + kFileHeaderSize + Read16(headers, at + kOptionalHeaderSizeField);
    const std::uint64_t table_end = table + std::uint64_t{kSectionEntrySize} * sections;
    if (sections == 0 || table_end > headers.size()) return {};

    std::uint64_t overlay = 0;
    for (std::uint32_t i = 0; i < sections; ++i) {
        const auto entry = static_cast<std::size_t>(table + std::uint64_t{kSectionEntrySize} * i);
        const std::uint64_t end = std::uint64_t{Read32(headers, entry + kRawOffsetField)} +
                                  Read32(headers, entry + kRawSizeField);
        if (end > file_size) return {};
        overlay = std::max(overlay, end);
    }
    // Section data lies behind the headers; anything else is not an image of ours.
    if (overlay < table_end || overlay > std::numeric_limits<std::uint32_t>::max()) return {};
    return static_cast<std::uint32_t>(overlay);
}

OverlayStart FindFileOverlayStart(const std::string& path) {
    OverlayStart result;
    std::ifstream file(path, std::ios::binary);
    const auto size = file ? FileSize(file) : std::nullopt;
    if (!size) {
        result.error = "cannot read the file \"" + path + "\"";
        return result;
    }
    result.file_size = *size;
    // Three reads, each as long as the previous one says the headers are; a PE offset beyond
    // the file means a foreign file, not a reason to read it all. The section table ends within
    // about 2.7 MB of the file header (65535 entries at most).
    auto headers = ReadPrefix(file, std::min<std::uint64_t>(*size, kDosHeaderSize));
    if (headers.size() == kDosHeaderSize) {
        const std::uint64_t pe_end =
            std::uint64_t{Read32(headers, kPeOffsetField)} + kPeSignatureSize + kFileHeaderSize;
        if (pe_end <= *size) {
            headers = ReadPrefix(file, pe_end);
            headers = ReadPrefix(file, std::min(*size, SectionTableEnd(headers)));
        }
    }
    result.start = FindOverlayStart(headers, *size);
    return result;
}

Overlay ReadOverlay(const std::string& path, std::uint64_t start) {
    Overlay result;
    std::ifstream file(path, std::ios::binary);
    const auto size = file ? FileSize(file) : std::nullopt;
    if (!size) {
        result.error = "cannot read the file \"" + path + "\"";
        return result;
    }
    if (start > *size) {
        result.error = "the overlay start lies behind the end of \"" + path + "\"";
        return result;
    }
    if (start == *size) {
        result.status = Overlay::Status::kNoOverlay;
        return result;
    }
    const std::uint64_t length = *size - start;
    if (length > result.bytes.max_size()) {
        result.error = "the overlay of \"" + path + "\" is too large";
        return result;
    }
    result.bytes.resize(static_cast<std::size_t>(length));
    file.clear();
    file.seekg(static_cast<std::streamoff>(start));
    file.read(result.bytes.data(), static_cast<std::streamsize>(length));
    if (file.gcount() != static_cast<std::streamsize>(length)) {
        result.bytes.clear();
        result.error = "cannot read the overlay of \"" + path + "\"";
        return result;
    }
    result.status = Overlay::Status::kScript;
    return result;
}

ScriptLoad LoadScript(std::string_view text) {
    ScriptParser parser(text);
    ScriptImage image;
    if (!ParseStatements(parser, image) || !ParseIdentity(parser, image) ||
        !ParseMedia(parser, image) || !ParseComponentsAndFiles(parser, image) ||
        !ParseLanguageAndHeaders(parser, image)) {
        return {std::nullopt, parser.Error()};
    }
    image.CompiledProductCode = image.ProductCode;
    return {std::move(image), {}};
}
