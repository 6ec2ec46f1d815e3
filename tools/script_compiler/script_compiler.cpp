#include "script_compiler.h"

#include <array>
#include <cstdint>
#include <optional>
#include <set>
#include <span>
#include <utility>

#include "command_table.h"
#include "script_loader.h"

namespace qorscript {
namespace {

// ---- Fields and escapes -------------------------------------------------------------------

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Splits at every '|' that is not escaped; the fields keep their escapes.
std::vector<std::string_view> SplitFields(std::string_view text) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '^') {
            ++i;
        } else if (text[i] == '|') {
            fields.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    fields.push_back(text.substr(start));
    return fields;
}

// Trims the raw field, then decodes its escapes; a bad escape or an LF gives an error text.
std::optional<std::string> Unescape(std::string_view raw, std::string& error) {
    const std::string_view text = Trim(raw);
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '^') {
            result += text[i];
            continue;
        }
        const char code = i + 1 < text.size() ? text[++i] : '\0';
        switch (code) {
            case '|':
                result += '|';
                break;
            case '^':
                result += '^';
                break;
            case 's':
                result += ' ';
                break;
            case 't':
                result += '\t';
                break;
            case 'r':
                result += '\r';
                break;
            case 'x': {
                const int high = i + 1 < text.size() ? HexDigit(text[i + 1]) : -1;
                const int low = i + 2 < text.size() ? HexDigit(text[i + 2]) : -1;
                if (high < 0 || low < 0) {
                    error = "^x needs two hexadecimal digits";
                    return std::nullopt;
                }
                if (high * 16 + low == '\n') {
                    error = "a line of the compiled script cannot hold LF";
                    return std::nullopt;
                }
                result += static_cast<char>(high * 16 + low);
                i += 2;
                break;
            }
            default:
                error = code ? std::string("unknown escape ^") + code : "a lone ^ at the end";
                return std::nullopt;
        }
    }
    return result;
}

// ---- Generated identifiers and headers --------------------------------------------------

std::uint64_t Mix(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

std::uint64_t HashText(std::string_view text) {
    std::uint64_t hash = 0xCBF29CE484222325ull;  // FNV-1a
    for (const char c : text) hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001B3ull;
    return hash;
}

std::string Hex(std::uint64_t value, int digits) {
    std::string text(static_cast<std::size_t>(digits), '0');
    for (int i = digits - 1; i >= 0; --i, value >>= 4) {
        text[static_cast<std::size_t>(i)] = "0123456789ABCDEF"[value & 15];
    }
    return text;
}

// A braced registry-form GUID (version 4 layout) from a seed.
std::string GuidFrom(std::uint64_t seed) {
    const std::uint64_t a = Mix(seed);
    const std::uint64_t b = Mix(a);
    return "{" + Hex(a >> 32, 8) + "-" + Hex((a >> 16) & 0xFFFF, 4) + "-4" + Hex(a & 0xFFF, 3) +
           "-8" + Hex(b >> 48 & 0xFFF, 3) + "-" + Hex(b & 0xFFFFFFFFFFFFull, 12) + "}";
}

// Hands out GUIDs or headers from a sequence, skipping the ones the listing uses itself.
class Generator {
  public:
    Generator(std::uint64_t salt, std::set<std::string> taken)
        : salt_(salt), taken_(std::move(taken)) {}

    std::string NextGuid() {
        return Next([this] { return GuidFrom(salt_ + counter_++); });
    }
    std::string NextHeader() {
        return Next([this] { return Hex(Mix(salt_ + counter_++) >> 32, 8); });
    }

  private:
    template <typename Make>
    std::string Next(Make make) {
        std::string value = make();
        while (!taken_.insert(value).second) value = make();
        return value;
    }

    std::uint64_t salt_;
    std::uint64_t counter_ = 0;
    std::set<std::string> taken_;
};

// ---- The listing ------------------------------------------------------------------------

struct ListedStatement {
    std::string command;
    std::optional<std::string> id;
    std::optional<std::string> header;
    bool no_header = false;
    bool disabled = false;
    bool has_block = false;
    std::vector<std::string> parameters;
    std::string media;
};

struct ListedBlock {
    bool of_statement = true;
    std::size_t statement = 0;       // when of_statement
    std::vector<std::string> lines;  // the identifier and parameters otherwise
};

enum class Single {
    kProductCode,
    kTitle,
    kCompany,
    kContact,
    kHelpLink,
    kUpdateUrl,
    kComments,
    kVersion,
    kRevisionCode,
    kMediaLayout,
    kLanguageChoice,
    kDefaultLanguage,
    kCount
};

struct SingleDirective {
    std::string_view name;
    Single slot;
};

constexpr std::array kSingleDirectives = {
    SingleDirective{"product-code", Single::kProductCode},
    SingleDirective{"title", Single::kTitle},
    SingleDirective{"company", Single::kCompany},
    SingleDirective{"contact", Single::kContact},
    SingleDirective{"help-link", Single::kHelpLink},
    SingleDirective{"update-url", Single::kUpdateUrl},
    SingleDirective{"comments", Single::kComments},
    SingleDirective{"version", Single::kVersion},
    SingleDirective{"revision-code", Single::kRevisionCode},
    SingleDirective{"media-layout", Single::kMediaLayout},
    SingleDirective{"language-choice", Single::kLanguageChoice},
    SingleDirective{"default-language", Single::kDefaultLanguage},
};

struct GroupDirective {
    std::string_view name;
    std::size_t fields;  // 0: any number, at least one
};

struct Listing {
    std::array<std::optional<std::string>, static_cast<std::size_t>(Single::kCount)> singles;
    std::vector<ListedStatement> statements;
    std::vector<ListedBlock> blocks;
    std::vector<std::string> plugins, passwords, components, files;
};

class ListingParser {
  public:
    Listing Parse(std::string_view text, std::vector<std::string>& errors) {
        errors_ = &errors;
        std::size_t start = 0;
        while (start <= text.size()) {
            std::size_t end = text.find('\n', start);
            if (end == std::string_view::npos) end = text.size();
            std::string_view line = text.substr(start, end - start);
            if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
            ++line_number_;
            ParseLine(line);
            start = end + 1;
        }
        return std::move(listing_);
    }

  private:
    void Error(const std::string& message) {
        errors_->push_back("line " + std::to_string(line_number_) + ": " + message);
    }

    // Unescaped fields of a text; nothing (after an error) when an escape is bad.
    std::optional<std::vector<std::string>> Fields(std::string_view text) {
        std::vector<std::string> fields;
        for (const std::string_view raw : SplitFields(text)) {
            std::string error;
            auto field = Unescape(raw, error);
            if (!field) {
                Error(error);
                return std::nullopt;
            }
            fields.push_back(std::move(*field));
        }
        return fields;
    }

    void ParseLine(std::string_view line) {
        const std::string_view text = Trim(line);
        if (text.empty() || text.front() == '#') return;
        if (text.front() == '@') {
            ParseDirective(text.substr(1));
        } else {
            ParseStatement(text);
        }
    }

    void ParseDirective(std::string_view text) {
        std::size_t name_end = 0;
        while (name_end < text.size() && !IsBlank(text[name_end])) ++name_end;
        const std::string_view name = text.substr(0, name_end);
        const std::string_view value = text.substr(name_end);
        for (const SingleDirective& directive : kSingleDirectives) {
            if (directive.name != name) continue;
            std::string error;
            auto unescaped = Unescape(value, error);
            auto& slot = listing_.singles[static_cast<std::size_t>(directive.slot)];
            if (!unescaped) {
                Error(error);
            } else if (slot) {
                Error("@" + std::string(name) + " is given twice");
            } else {
                slot = std::move(*unescaped);
            }
            return;
        }
        const std::array groups = {
            std::pair{GroupDirective{"plugin", 1}, &listing_.plugins},
            std::pair{GroupDirective{"password", 2}, &listing_.passwords},
            std::pair{GroupDirective{"component", 2}, &listing_.components},
            std::pair{GroupDirective{"file", 3}, &listing_.files},
        };
        for (const auto& [directive, target] : groups) {
            if (directive.name != name) continue;
            auto fields = Fields(value);
            if (!fields) return;
            if (fields->size() != directive.fields) {
                Error("@" + std::string(name) + " takes " + std::to_string(directive.fields) +
                      " field(s) separated by '|'");
                return;
            }
            target->insert(target->end(), fields->begin(), fields->end());
            return;
        }
        if (name == "block") {
            auto fields = Fields(value);
            if (fields) listing_.blocks.push_back({false, 0, std::move(*fields)});
            return;
        }
        Error("unknown directive @" + std::string(name));
    }

    // Reads the attributes in front of the command; returns the rest of the field.
    std::optional<std::string_view> ParseAttributes(std::string_view head,
                                                    ListedStatement& statement) {
        head = Trim(head);
        while (!head.empty() && head.front() == '[') {
            std::size_t close = 1;
            while (close < head.size() && head[close] != ']') close += head[close] == '^' ? 2 : 1;
            if (close >= head.size()) {
                Error("an attribute lacks its closing ']'");
                return std::nullopt;
            }
            if (!ParseAttribute(Trim(head.substr(1, close - 1)), statement)) return std::nullopt;
            head = Trim(head.substr(close + 1));
        }
        return head;
    }

    bool ParseAttribute(std::string_view text, ListedStatement& statement) {
        std::size_t name_end = 0;
        while (name_end < text.size() && !IsBlank(text[name_end])) ++name_end;
        const std::string_view name = text.substr(0, name_end);
        std::string error;
        auto value = Unescape(text.substr(name_end), error);
        if (!value) {
            Error(error);
            return false;
        }
        const bool takes_value = name == "id" || name == "header" || name == "media";
        if (takes_value == value->empty()) {
            Error("attribute [" + std::string(name) + "] " +
                  (takes_value ? "needs a value" : "takes no value"));
            return false;
        }
        if (name == "off") {
            statement.disabled = true;
        } else if (name == "noheader") {
            statement.no_header = true;
        } else if (name == "id") {
            statement.id = std::move(*value);
        } else if (name == "header") {
            statement.header = std::move(*value);
        } else if (name == "media") {
            statement.media = std::move(*value);
        } else {
            Error("unknown attribute [" + std::string(name) + "]");
            return false;
        }
        return true;
    }

    void ParseStatement(std::string_view text) {
        ListedStatement statement;
        const std::vector<std::string_view> raw = SplitFields(text);
        const auto command = ParseAttributes(raw.front(), statement);
        if (!command) return;
        auto fields = Fields(*command);
        if (!fields) return;
        statement.command = std::move(fields->front());
        if (statement.command.empty()) {
            Error("a statement needs a command name");
            return;
        }
        statement.has_block = raw.size() > 1;
        for (std::size_t i = 1; i < raw.size(); ++i) {
            std::string error;
            auto parameter = Unescape(raw[i], error);
            if (!parameter) {
                Error(error);
                return;
            }
            statement.parameters.push_back(std::move(*parameter));
        }
        if (statement.header && statement.no_header) {
            Error("[header] and [noheader] exclude each other");
            return;
        }
        if (statement.has_block) {
            listing_.blocks.push_back({true, listing_.statements.size(), {}});
        }
        listing_.statements.push_back(std::move(statement));
    }

    Listing listing_;
    std::vector<std::string>* errors_ = nullptr;
    int line_number_ = 0;
};

// ---- Writing the compiled text ----------------------------------------------------------

class ScriptWriter {
  public:
    explicit ScriptWriter(std::vector<std::string>& errors) : errors_(errors) {}

    void Line(std::string_view line) {
        text_ += line;
        text_ += "\r\n";
    }

    void Section(std::string_view name, std::span<const std::string> lines) {
        for (const std::string& line : lines) {
            if (line == "$") {
                errors_.push_back("the section of " + std::string(name) +
                                  " cannot hold a line \"$\": it would end the section");
            }
            Line(line);
        }
        Line("$");
    }

    std::string Take() { return std::move(text_); }

  private:
    std::string text_;
    std::vector<std::string>& errors_;
};

std::string SingleOr(const Listing& listing, Single slot, std::string fallback) {
    const auto& value = listing.singles[static_cast<std::size_t>(slot)];
    return value ? *value : std::move(fallback);
}

// Fills in identifiers and headers that the listing leaves out.
void AssignGenerated(Listing& listing) {
    std::set<std::string> ids, headers;
    for (const ListedStatement& statement : listing.statements) {
        if (statement.id) ids.insert(*statement.id);
        if (statement.header) headers.insert(*statement.header);
    }
    for (const ListedBlock& block : listing.blocks) {
        if (!block.of_statement && !block.lines.empty()) ids.insert(block.lines.front());
    }
    Generator id_generator(0x51D0000000000000ull, std::move(ids));
    Generator header_generator(0x4EAD000000000000ull, std::move(headers));
    for (ListedStatement& statement : listing.statements) {
        if (!statement.id) statement.id = id_generator.NextGuid();
        const bool wants_header =
            !statement.disabled && !statement.no_header && IsChangeMakingCommand(statement.command);
        if (!statement.header && wants_header) statement.header = header_generator.NextHeader();
    }
}

std::string Write(const Listing& listing, std::vector<std::string>& errors) {
    const std::string title = SingleOr(listing, Single::kTitle, "");
    std::vector<std::string> commands, ids, parameters, flags, media, headers;
    for (std::size_t i = 0; i < listing.statements.size(); ++i) {
        const ListedStatement& statement = listing.statements[i];
        commands.push_back(statement.disabled ? "Comment" : statement.command);
        ids.push_back(*statement.id);
        flags.push_back(statement.disabled ? "C" : "");
        media.push_back(statement.media);
        if (statement.header) {
            headers.push_back(*statement.header);
            headers.push_back(std::to_string(i));
        }
    }
    for (const ListedBlock& block : listing.blocks) {
        if (!block.of_statement) {
            parameters.insert(parameters.end(), block.lines.begin(), block.lines.end());
            continue;
        }
        const ListedStatement& statement = listing.statements[block.statement];
        parameters.push_back(*statement.id);
        parameters.insert(parameters.end(), statement.parameters.begin(),
                          statement.parameters.end());
    }

    ScriptWriter writer(errors);
    writer.Section("command names", commands);
    writer.Section("statement identifiers", ids);
    writer.Section("parameter lines", parameters);
    writer.Section("disabled flags", flags);
    writer.Line(SingleOr(listing, Single::kProductCode, GuidFrom(HashText(title) ^ 0x9C0DE)));
    writer.Line(title);
    writer.Section("plug-in commands", listing.plugins);
    writer.Line(SingleOr(listing, Single::kCompany, ""));
    writer.Line(SingleOr(listing, Single::kContact, ""));
    writer.Line(SingleOr(listing, Single::kHelpLink, ""));
    writer.Line(SingleOr(listing, Single::kUpdateUrl, ""));
    writer.Line(SingleOr(listing, Single::kComments, ""));
    writer.Line(SingleOr(listing, Single::kVersion, ""));
    writer.Section("archive passwords", listing.passwords);
    writer.Section("statement media", media);
    writer.Line(SingleOr(listing, Single::kMediaLayout, "0"));
    writer.Section("component sizes", listing.components);
    writer.Line(SingleOr(listing, Single::kRevisionCode, GuidFrom(HashText(title) ^ 0x4E715)));
    writer.Section("file list", listing.files);
    writer.Line(SingleOr(listing, Single::kLanguageChoice, "FALSE"));
    writer.Line(SingleOr(listing, Single::kDefaultLanguage, "English"));
    writer.Section("command headers", headers);
    return writer.Take();
}

}  // namespace

bool IsChangeMakingCommand(std::string_view command) {
    const CommandRow* row = FindCommand(command);
    return row && row->kind == CommandKind::kQueued;
}

Compiled CompileListing(std::string_view listing) {
    Compiled result;
    Listing parsed = ListingParser().Parse(listing, result.errors);
    if (!result.ok()) return result;
    AssignGenerated(parsed);
    result.script = Write(parsed, result.errors);
    if (!result.ok()) result.script.clear();
    return result;
}

SetupProgram AppendScript(std::string_view program, std::string_view script) {
    const auto bytes =
        std::span(reinterpret_cast<const std::uint8_t*>(program.data()), program.size());
    const auto start = FindOverlayStart(bytes, program.size());
    if (!start) return {{}, "the program is not a PE image whose sections lie inside the file"};
    std::string result(program.substr(0, *start));
    result += script;
    return {std::move(result), {}};
}

}  // namespace qorscript
