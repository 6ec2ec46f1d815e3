// Look-up of commands by exact name, plug-in commands, and the shape of the table's rows.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "command_table.h"

namespace {

TEST(CommandTable, FindsEveryRowByItsExactNameOnly) {
    for (const CommandRow& row : CommandTable()) {
        EXPECT_EQ(FindCommand(row.name), &row) << row.name;
    }
    EXPECT_EQ(FindCommand("set variable"), nullptr);
    EXPECT_EQ(FindCommand("SET VARIABLE"), nullptr);
    EXPECT_EQ(FindCommand("Set Variable "), nullptr);
    EXPECT_EQ(FindCommand(""), nullptr);
    EXPECT_EQ(FindCommand("Frobnicate"), nullptr);
}

TEST(CommandTable, NamesAreUniqueAndChecksStayWithinTheParameters) {
    std::set<std::string_view> names;
    for (const CommandRow& row : CommandTable()) {
        EXPECT_TRUE(names.insert(row.name).second) << "twice: " << row.name;
        for (const PrepareCheck& check : row.Checks()) {
            EXPECT_LE(check.parameter, row.parameters) << row.name;
            EXPECT_LE(check.other, row.parameters) << row.name;
        }
        // Used slots come first: nothing follows the first empty one.
        for (std::size_t i = row.Checks().size(); i < row.checks.size(); ++i) {
            EXPECT_EQ(row.checks[i].kind, PrepareCheckKind::kEmpty) << row.name;
        }
    }
}

TEST(CommandTable, KindsMatchTheirHandlers) {
    for (const CommandRow& row : CommandTable()) {
        if (row.kind == CommandKind::kBlock) {
            EXPECT_EQ(row.family, CommandFamily::kRunner) << row.name;
        }
        const bool does_nothing =
            row.kind == CommandKind::kNone || row.kind == CommandKind::kNeverExecuted;
        EXPECT_EQ(does_nothing, row.family == CommandFamily::kNothing) << row.name;
        EXPECT_NE(row.kind, CommandKind::kPlugin) << row.name;
    }
    EXPECT_EQ(FindCommand("Ignore")->kind, CommandKind::kNeverExecuted);
    EXPECT_EQ(FindCommand("Compiler Variable End")->kind, CommandKind::kNone);
}

TEST(CommandTable, PluginListComesBeforeTheTable) {
    const std::vector<std::string> plugins = {"My Plugin", "Convert Path"};
    const CommandLookup lookup(plugins);
    EXPECT_EQ(lookup.Find("My Plugin"), &PluginCommandRow());
    EXPECT_EQ(lookup.Find("Convert Path"), &PluginCommandRow());
    EXPECT_EQ(lookup.Find("my plugin"), nullptr);
    EXPECT_EQ(lookup.Find("Set Variable"), FindCommand("Set Variable"));
    EXPECT_EQ(lookup.Find("Unknown Thing"), nullptr);
    EXPECT_EQ(PluginCommandRow().kind, CommandKind::kPlugin);
    EXPECT_EQ(PluginCommandRow().parameters, 2);

    const CommandLookup without_plugins({});
    EXPECT_EQ(without_plugins.Find("My Plugin"), nullptr);
}

}  // namespace
