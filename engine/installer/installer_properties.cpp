#include "installer_properties.h"

#include "variable_store.h"

void InstallerPropertyTable::Append(std::string name, std::string value) {
    pairs_.emplace_back(std::move(name), std::move(value));
}

std::vector<InstallerPropertyTable::Pair> InstallerPropertyTable::TakeAll() {
    std::vector<Pair> taken;
    taken.swap(pairs_);
    return taken;
}

void PropertyList::Append(std::string_view name, std::string_view value) {
    lines_.emplace_back(name);
    lines_.emplace_back(value);
}

void RecordProperty(InstallerPropertyTable& table, PropertyList& property_list,
                    std::string_view name, std::string_view value) {
    const std::string encoded = VariableStore::NewlineEncode(value);
    table.Append(std::string(name), encoded);
    property_list.Append(name, encoded);
}
