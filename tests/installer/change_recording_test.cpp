// Recording of change-making statements: the activation and parameter properties, their order,
// their values (expanded, translated, path-normalised, newline-encoded), the run-start
// registration of every header, and the failures.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "change_recording.h"
#include "command_table.h"
#include "progress.h"
#include "script_compiler.h"
#include "script_error.h"
#include "script_loader.h"
#include "translations.h"
#include "variable_store.h"

namespace {

using Pairs = std::vector<InstallerPropertyTable::Pair>;

// Translation files held in memory.
class MemoryFiles : public TranslationFiles {
public:
    std::map<std::string, std::string> files;

    FileStamp Stamp(const std::string& path) const override {
        const auto found = files.find(path);
        if (found == files.end()) return {};
        return {true, found->second.size(), 0};
    }
    FileRead Read(const std::string& path, std::uint64_t limit) const override {
        const auto found = files.find(path);
        if (found == files.end()) return {false, {}, "not found: " + path};
        if (found->second.size() > limit) return {false, {}, "too large: " + path};
        return {true, found->second, {}};
    }
};

ScriptImage Load(std::string_view listing) {
    const qorscript::Compiled compiled = qorscript::CompileListing(listing);
    EXPECT_TRUE(compiled.ok()) << (compiled.ok() ? "" : compiled.errors.front());
    ScriptLoad load = LoadScript(compiled.script);
    EXPECT_TRUE(load.image.has_value()) << load.error;
    return load.image ? std::move(*load.image) : ScriptImage{};
}

std::vector<std::string> Flatten(const Pairs& pairs) {
    std::vector<std::string> lines;
    for (const auto& [name, value] : pairs) {
        lines.push_back(name);
        lines.push_back(value);
    }
    return lines;
}

// One script, its store and translations, and the run's two property containers.
class Recording : public ::testing::Test {
protected:
    void SetUpScript(std::string_view listing) {
        script = Load(listing);
        recorder.emplace(script, store, translations, table, property_list);
    }
    const Statement& At(int index) const { return script.Statements.at(index); }
    void Record(int index, const BeforeParameters& before = {}) {
        const RecordingRow* row = FindRecording(At(index).Command);
        ASSERT_NE(row, nullptr) << At(index).Command;
        recorder->RecordStatement(At(index), *row, before);
    }
    // Both containers hold exactly these pairs, in this order.
    void ExpectRecorded(const Pairs& expected) {
        EXPECT_EQ(table.Pairs(), expected);
        EXPECT_EQ(property_list.Lines(), Flatten(expected));
    }

    ProgressState flags;
    VariableStore store{flags};
    MemoryFiles files;
    Translations translations{files};
    ScriptImage script;
    InstallerPropertyTable table;
    PropertyList property_list;
    std::optional<ChangeRecorder> recorder;
};

TEST_F(Recording, RegisterHeadersSwitchesEveryHeaderOffInStatementOrder) {
    SetUpScript(R"(
Set Variable | A | 1
[header 0000000B] Write Registry | 0 | k | n | v | d
[noheader] Create Folder | C:\x
[header 0000000A] Install Files | *.* | data | $TARGETDIR$
)");
    recorder->RegisterHeaders();
    ExpectRecorded({{"A0000000B", "FALSE"}, {"A0000000A", "FALSE"}});
}

TEST_F(Recording, ActivationThenParametersInOrderWithEncodedValues) {
    SetUpScript(R"(
[header 1234ABCD] Write Registry | 2 | Software | Software\$CO$ | Name | $VAL$
)");
    store.Declare("CO", "Acme", "test");
    store.Declare("VAL", "line1\r\nline2", "test");
    Record(0);
    ExpectRecorded({
        {"A1234ABCD", "TRUE"},
        {"P1234ABCD_1", "Software\\Acme"},
        {"P1234ABCD_2", "Name"},
        {"P1234ABCD_3", "line1$NEWLINE$line2"},
    });
}

TEST_F(Recording, ValuesAreExpandedAndPathNormalised) {
    struct Case {
        std::string_view parameter;
        std::string_view recorded;
    };
    const Case cases[] = {
        {"$TARGETDIR$\\sub", "C:\\Program Files\\Prod\\sub"},  // folder values end in "\"
        {"C:\\a\\\\b", "C:\\a\\b"},
        {"C:\\a\\\\\\b", "C:\\a\\\\b"},                          // three become two
        {"\\\\server\\share\\\\dir", "\\\\server\\share\\dir"},  // the UNC pair stays
        {"$SHARE$\\\\dir", "\\\\server\\share\\dir"},            // also after expansion
        {"one$newline$two", "one$NEWLINE$two"},
        {"$UNDEFINED$\\x", "$UNDEFINED$\\x"},
        {"", ""},
    };
    store.Declare("TARGETDIR", "C:\\Program Files\\Prod\\", "test");
    store.Declare("SHARE", "\\\\server\\share", "test");
    for (const Case& c : cases) {
        std::string listing = "[header 0000C0DE] Create Folder | ";
        listing += c.parameter;
        SetUpScript(listing);
        table.TakeAll();
        Record(0);
        EXPECT_EQ(table.Pairs(),
                  (Pairs{{"A0000C0DE", "TRUE"}, {"P0000C0DE_1", std::string(c.recorded)}}))
            << c.parameter;
    }
}

TEST_F(Recording, MissingHeaderFailsBeforeAnyRecord) {
    SetUpScript(R"(
[header 00000001] Create Folder | C:\one
[noheader] Install Files | *.* | data | $TARGETDIR$
)");
    Record(0);
    const Pairs before = table.Pairs();
    bool step_ran = false;
    try {
        Record(1, [&] { step_ran = true; });
        FAIL() << "no script error";
    } catch (const ScriptError& error) {
        EXPECT_STREQ(error.what(),
                     "Unable to obtain command headers. Please rebuild your project.");
    }
    EXPECT_FALSE(step_ran);
    ExpectRecorded(before);
}

TEST_F(Recording, BeforeParametersStepRunsAfterTheActivation) {
    SetUpScript("[header 0000000F] Install Files | *.* | data | C:\\T");
    std::size_t recorded_at_step = 0;
    Record(0, [&] { recorded_at_step = table.Pairs().size(); });
    EXPECT_EQ(recorded_at_step, 1u);
    ExpectRecorded({{"A0000000F", "TRUE"}, {"P0000000F_1", "C:\\T"}});

    // A failing step ends the statement; its activation stays recorded.
    table.TakeAll();
    EXPECT_THROW(Record(0, [] { throw ScriptError("media missing"); }), ScriptError);
    EXPECT_EQ(table.Pairs(), (Pairs{{"A0000000F", "TRUE"}}));
}

TEST_F(Recording, SameStatementTwiceRecordsTwiceLaterValuesLast) {
    SetUpScript("[header 00000002] Set Environment | PATH | $DIR$");
    store.Declare("DIR", "C:\\first", "test");
    Record(0);
    store.Assign("DIR", "C:\\second", "test");
    Record(0);
    ExpectRecorded({
        {"A00000002", "TRUE"},
        {"P00000002_1", "C:\\first"},
        {"A00000002", "TRUE"},
        {"P00000002_1", "C:\\second"},
    });
}

TEST_F(Recording, PropertyListKeepsWhatTheSessionTakesFromTheTable) {
    SetUpScript("[header 00000003] Create Folder | C:\\x");
    property_list = PropertyList({"AOLD", "TRUE"});  // loaded from a previous run
    Record(0);
    EXPECT_EQ(table.TakeAll(), (Pairs{{"A00000003", "TRUE"}, {"P00000003_1", "C:\\x"}}));
    EXPECT_TRUE(table.Empty());
    Record(0);
    EXPECT_EQ(table.Pairs().size(), 2u);
    EXPECT_EQ(property_list.Lines(),
              (std::vector<std::string>{"AOLD", "TRUE", "A00000003", "TRUE", "P00000003_1", "C:\\x",
                                        "A00000003", "TRUE", "P00000003_1", "C:\\x"}));
}

// Control Service: _1 = p1 translated 1, _2 = p2. Create File Type: _1 = p1 translated 1,
// _2 = p2, _3 = p3 translated 2, _4 = p4, _5 = p5.
class TranslatedRecording : public Recording {
protected:
    void SetUp() override {
        SetUpScript(R"(
[header 0000AAAA] Control Service | Spooler | stop
[header 0000BBBB] Create File Type | Text File | txt | Plain text | $TARGETDIR$ | open
)");
        store.Declare("CO", "Acme", "test");
        store.Declare("TARGETDIR", "C:\\P\\", "test");
        // Key list: a line of another statement, then each statement's first line.
        files.files["S\\Prod.mtx"] = "{OTHER}\r\n" + At(0).Id + "\r\nx\r\n" + At(1).Id + "\r\n";
        files.files["S\\translations.Map"] = "\r\n\r\n\r\n\r\n";
        files.files["S\\translations.German"] =
            "other\r\nDruckdienst $CO$\r\nnot used\r\nTextdatei\r\nKlartext\\\\x\r\n";
    }
    void SelectGerman() {
        const TranslationLoad load = translations.LoadTranslations("S\\", "Prod", "German");
        ASSERT_TRUE(load.ok) << load.error;
    }
};

TEST_F(TranslatedRecording, UntranslatedWithoutALanguage) {
    Record(0);
    ExpectRecorded({{"A0000AAAA", "TRUE"}, {"P0000AAAA_1", "Spooler"}, {"P0000AAAA_2", "stop"}});
}

TEST_F(TranslatedRecording, TranslationsReplaceMarkedParametersAndAreExpanded) {
    SelectGerman();
    Record(0);
    Record(1);
    ExpectRecorded({
        {"A0000AAAA", "TRUE"},
        {"P0000AAAA_1", "Druckdienst Acme"},
        {"P0000AAAA_2", "stop"},
        {"A0000BBBB", "TRUE"},
        {"P0000BBBB_1", "Textdatei"},
        {"P0000BBBB_2", "txt"},
        {"P0000BBBB_3", "Klartext\\x"},
        {"P0000BBBB_4", "C:\\P\\"},
        {"P0000BBBB_5", "open"},
    });
}

TEST_F(TranslatedRecording, TranslationBeyondTheTextListFailsBeforeAnyRecord) {
    files.files["S\\translations.German"] = "other\r\nDruckdienst\r\nnot used\r\nTextdatei\r\n";
    SelectGerman();
    EXPECT_THROW(Record(1), ScriptError);  // translation 2 would be line 5 of 4
    ExpectRecorded({});
}

// The recording table, the command table and the script compiler agree on which commands make
// changes, and no recorded parameter lies beyond what the command table says a command reads.
TEST(RecordingTable, CoversExactlyTheQueuedCommands) {
    for (const CommandRow& row : CommandTable()) {
        const RecordingRow* recording = FindRecording(row.name);
        EXPECT_EQ(recording != nullptr, row.kind == CommandKind::kQueued) << row.name;
        EXPECT_EQ(qorscript::IsChangeMakingCommand(row.name), row.kind == CommandKind::kQueued)
            << row.name;
        if (!recording) continue;
        for (const ParameterProperty& property : recording->Properties()) {
            EXPECT_GE(property.parameter, 1) << row.name;
            EXPECT_LE(property.parameter, row.parameters) << row.name;
        }
    }
    for (const RecordingRow& recording : RecordingTable()) {
        EXPECT_NE(FindCommand(recording.command), nullptr) << recording.command;
    }
}

}  // namespace
