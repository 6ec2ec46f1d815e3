#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The two places where the run keeps the installer properties that change-making statements
// record: the installer property table, which the next installation session writes into the
// installer database and then empties, and PropertyList, which keeps every record of the run.

// Ordered (name, value) pairs. A name may occur several times; the installer session writes the
// pairs in order, so the later pair wins. Values are stored as given (record-property gives them
// newline-encoded).
class InstallerPropertyTable {
public:
    using Pair = std::pair<std::string, std::string>;

    void Append(std::string name, std::string value);
    const std::vector<Pair>& Pairs() const { return pairs_; }
    bool Empty() const { return pairs_.empty(); }
    // Every pair in order, leaving the table empty: what an installation session writes.
    std::vector<Pair> TakeAll();

private:
    std::vector<Pair> pairs_;
};

// The run's ordered list of text lines, alternating name and value. Filled from the cached
// ".par" file in a maintenance run, extended by every record, never emptied during a run.
class PropertyList {
public:
    PropertyList() = default;
    explicit PropertyList(std::vector<std::string> lines) : lines_(std::move(lines)) {}

    // Appends the name and the value as two lines.
    void Append(std::string_view name, std::string_view value);
    const std::vector<std::string>& Lines() const { return lines_; }

private:
    std::vector<std::string> lines_;
};

// *record-property*: appends (name, newline-encoded value) to the table, then the name and the
// newline-encoded value as two lines to PropertyList.
void RecordProperty(InstallerPropertyTable& table, PropertyList& property_list,
                    std::string_view name, std::string_view value);
