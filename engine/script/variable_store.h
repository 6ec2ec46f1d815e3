#pragma once

#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "progress.h"

// The variable store: one ordered store of named 8-bit text variables that statements,
// dialogs and the installer session read and write.
//
// - Entries keep the order in which they were first declared; *expand* substitutes in that
//   order. A name is stored as first declared; look-ups ignore the case of ASCII A-Z only.
// - Values are stored unexpanded and expanded when read.
// - Every declaration and assignment names its source (source_tags.h). Only one tag matters:
//   in a silent run a variable given on the command line keeps its command-line value against
//   every assignment not tagged "Inject Override Command Line".
// - Assigning ABORT sets the cancel-requested flag to the truth of the value.
// - One re-entrant lock guards the entries, the command-line overrides and the persistent-
//   variable list; every operation takes it. *expand* holds it for one substitution pass.
//
// Matching inside *expand* upper-cases with the system code page's mapping, and every expansion
// first switches the process's file functions to the ANSI code page. Both are platform matters,
// given as hooks (the platform layer supplies the Windows ones; the defaults map ASCII only and
// do nothing before expanding).
//
// Look-ups and the choice of variables to substitute go through hash indexes beside the ordered
// entries, so a pass of *expand* costs time in proportion to the text and to the variables it
// actually names, not to the size of the store.

struct StoreHooks {
    // Upper-cases `length` bytes in place with the system code page's mapping; must keep the
    // length (one byte in, one byte out).
    void (*upper_case)(char* text, std::size_t length) = nullptr;
    // Called at the start of every expansion.
    void (*before_expand)() = nullptr;
};

class VariableStore {
  public:
    using Pair = std::pair<std::string, std::string>;

    // An expansion stops after this many passes, or before a substitution that would make its
    // text grow beyond kExpandLengthLimit bytes, and returns the text reached: values that refer
    // to themselves would otherwise grow without end. Sound scripts nest references a few
    // levels deep and stay far below the length.
    static constexpr int kExpandPassLimit = 64;
    static constexpr std::size_t kExpandLengthLimit = std::size_t{16} << 20;

    // `flags` gives the silent flag (override rule) and takes the cancel-requested flag (ABORT).
    explicit VariableStore(ProgressState& flags, StoreHooks hooks = {});

    VariableStore(const VariableStore&) = delete;
    VariableStore& operator=(const VariableStore&) = delete;

    // *declare*: appends the variable when missing (names as given), then *assign*s it. An empty
    // name does nothing.
    void Declare(std::string_view name, std::string_view value, std::string_view tag);
    // *define*: appends the variable, upper-cased and empty, when missing.
    void Define(std::string_view name, std::string_view tag);
    // *assign*: raises ScriptError "Attempting to set value of undefined variable " + name.
    void Assign(std::string_view name, std::string_view value, std::string_view tag);
    // *read*: the expanded value; raises ScriptError "Attempting to get value of undefined
    // variable " + name. The name is used as given ($NAME$ is not accepted here).
    std::string Read(std::string_view name) const;
    // *is-defined*.
    bool IsDefined(std::string_view name) const;
    // *read-reference*: the expanded value of the variable named by text ($X$ or X), or
    // "$ZONDNX$" when it is not defined. *read-or-empty*: the same, empty when not defined.
    std::string ReadReference(std::string_view text) const;
    std::string ReadOrEmpty(std::string_view text) const;

    // *expand*: "$NEWLINE$" (any case) becomes CR LF and every $NAME$ of a defined variable its
    // value, variable by variable in store order, repeated while the text changes and still
    // holds a "$" (within the bounds above). *expand-quoted*: each value between double quotes.
    std::string Expand(std::string_view text) const;
    std::string ExpandQuoted(std::string_view text) const;
    // *path-normalise*: *expand*, then every pair of backslashes becomes one; a leading pair
    // (a UNC prefix) is kept.
    std::string PathNormalise(std::string_view text) const;

    // *export*: name, value, name, value, ... in store order as one comma text.
    std::string Export() const;
    // *import*: replaces every entry by the pairs of a comma text (a missing last value is
    // empty; a repeated name keeps its first place and takes the later value; empty names are
    // dropped). The persistent-variable list is kept.
    void Import(std::string_view text);
    // *clear*: removes every entry and empties the persistent-variable list.
    void Clear();

    // Entries in store order, copied under the lock (for logs, instance data and tests).
    std::vector<Pair> Entries() const;

    // Command-line overrides, NAME=VALUE in command-line order; names compared ignoring ASCII
    // case.
    void SetOverrides(std::vector<Pair> overrides);
    std::vector<Pair> Overrides() const;

    // The persistent-variable list: AddPersistent adds a name unless the list holds it
    // (ignoring ASCII case), as Set Variable does; AppendPersistent always appends, as loading
    // instance data does.
    void AddPersistent(std::string_view name);
    void AppendPersistent(std::string_view name);
    std::vector<std::string> PersistentNames() const;

    // *reference-name*: X when text is "$" + X + "$" and X holds no "$"; otherwise empty.
    static std::string ReferenceName(std::string_view text);
    // *newline-encode*: CR LF -> "$NEWLINE$"; *newline-decode*: "$NEWLINE$" (any case) -> CR LF.
    static std::string NewlineEncode(std::string_view text);
    static std::string NewlineDecode(std::string_view text);
    // *truth*: "TRUE" in any letter case, or "-1". *truth-text*: "TRUE" or "FALSE".
    static bool Truth(std::string_view text);
    static std::string TruthText(bool value);

  private:
    struct Entry {
        std::string name;
        std::string value;
    };
    enum class Quoting { kPlain, kQuoted };

    std::string UpperCase(std::string_view text) const;
    const Entry* Find(std::string_view name) const;
    void Append(std::string name);
    std::string ExpandOnce(std::string_view text, Quoting quoting, bool& bounded) const;
    std::size_t NextReferenced(const std::string& upper, std::size_t after) const;
    std::string Expand(std::string_view text, Quoting quoting) const;

    ProgressState& flags_;
    StoreHooks hooks_;
    mutable std::recursive_mutex lock_;
    std::vector<Entry> entries_;
    // ASCII-upper-cased name -> position: the store's own look-ups.
    std::unordered_map<std::string, std::size_t> by_name_;
    // Code-page-upper-cased name -> positions in store order: the references that *expand*
    // matches. Names that contain "$" cannot be found between two neighbouring dollar signs
    // and are kept apart, in store order.
    struct TextHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const {
            return std::hash<std::string_view>{}(text);
        }
    };
    std::unordered_map<std::string, std::vector<std::size_t>, TextHash, std::equal_to<>>
        by_reference_;
    std::vector<std::size_t> dollar_names_;
    std::vector<Pair> overrides_;
    std::vector<std::string> persistent_;
};
