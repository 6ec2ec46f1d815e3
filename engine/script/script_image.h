#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// One statement of the compiled script. Element i of the command-name, identifier,
// disabled-flag and statement-media sections belongs to the statement with Index i.
struct Statement {
    std::int32_t Index = 0;   // 0-based position in the script
    std::string Command;      // "Comment" for a disabled statement
    std::string Id;           // GUID in registry text form, the key of its parameter block
    bool Disabled = false;    // the flag line was "C"
    std::string MediaFolder;  // e.g. "OFFLINE\", or empty
};

struct ArchivePassword {
    std::string Block;      // media block name; the pair named "offline" is the default
    std::string Scrambled;  // the password as stored, decoded by the media code
};

struct ComponentSize {
    std::string Name;
    std::int64_t Bytes = 0;
};

struct ScriptFile {
    std::string Block;         // media block name, e.g. "OFFLINE"
    std::string ArchivePath;   // path inside the block's archive
    std::string TargetFolder;  // folder relative to the data folder, trailing backslash
};

struct CommandHeader {
    std::string Header;     // 8 hexadecimal digits
    std::string IndexText;  // decimal index of the statement, as written in the script
};

// The parameter-line section: parameter blocks, each the statement identifier on one line
// followed by parameter 1, 2, ... Look-ups follow the rule of a linear scan from the top for
// the first line equal to the identifier, through an index of the first position of every
// distinct line, so that a script of n lines costs O(n) to index and O(1) per look-up.
class ParameterBlocks {
  public:
    ParameterBlocks() = default;
    explicit ParameterBlocks(std::vector<std::string> lines);
    ParameterBlocks(const ParameterBlocks& other);
    ParameterBlocks& operator=(const ParameterBlocks& other);
    ParameterBlocks(ParameterBlocks&&) noexcept = default;
    ParameterBlocks& operator=(ParameterBlocks&&) noexcept = default;

    const std::vector<std::string>& Lines() const { return lines_; }

    // The line n places after the first line equal to id (case-sensitive); n = 0 gives the
    // identifier line itself. Empty when id does not occur, or when the block ends early.
    const std::string& Get(std::string_view id, int n) const;

  private:
    void BuildIndex();

    std::vector<std::string> lines_;
    // Views into lines_: the strings stay where they are when the vector is moved.
    std::unordered_map<std::string_view, std::size_t> first_position_;
};

// The loaded compiled script. Loaded once per run and then only read, except ProductCode,
// ProductTitle and RevisionCode, which the instance data may replace before the run.
class ScriptImage {
  public:
    std::vector<Statement> Statements;

    std::string ProductCode;
    std::string CompiledProductCode;  // ProductCode as compiled; the marker-file name
    std::string ProductTitle;
    std::string Company;
    std::string Contact;
    std::string HelpLink;
    std::string UpdateUrl;
    std::string Comments;
    std::string ProductVersion;
    std::string RevisionCode;
    std::string DefaultLanguage;
    std::int32_t MediaLayout = 0;
    bool OfferLanguageChoice = false;

    std::vector<std::string> PluginCommands;
    std::vector<ArchivePassword> ArchivePasswords;
    std::vector<ComponentSize> ComponentSizes;
    std::vector<ScriptFile> FileList;

    // The parameter-line section in file order (identifier lines included) and the
    // command-header pairs; set once by the loader, each kept with its look-up index.
    void SetParameterLines(std::vector<std::string> lines);
    void SetCommandHeaders(std::vector<CommandHeader> headers);
    const std::vector<std::string>& ParameterLines() const { return parameters_.Lines(); }
    const std::vector<CommandHeader>& CommandHeaders() const { return headers_; }

    // Parameter n (1-based) of the statement with this identifier, unexpanded; n = 0 gives the
    // identifier line (translation look-ups). Empty when the identifier has no block.
    const std::string& GetParameter(std::string_view id, int n) const {
        return parameters_.Get(id, n);
    }

    // The command header of the statement with this index, or empty when it has none. The
    // first pair whose index text equals the decimal text of the index wins.
    std::string GetCommandHeader(std::int32_t index) const;

  private:
    ParameterBlocks parameters_;
    std::vector<CommandHeader> headers_;
    std::unordered_map<std::string, std::size_t> header_by_index_;
};
