// The command line's variables: names and addresses, what `write` accepts,
// the `watch` lines, and the variables a monitor set's map gives.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "link/monitor_file.h"
#include "link/monitor_messages.h"
#include "link/monitor_watch.h"
#include "model/messages.h"
#include "support/model_builders.h"

namespace velmorin {

// Found by argument lookup, so failures print the variable, not its bytes.
std::ostream& operator<<(std::ostream& out, const WatchVariable& v) {
    return out << v.label << "@" << v.address << (v.word ? " word" : " byte");
}

namespace {

namespace fs = std::filesystem;

TEST(WatchVariable, NamesAndAddressesCaseInsensitive) {
    struct Case {
        const char* text;
        int32_t address;  // -1: refused
        bool word = false;
        const char* label = "";
    };
    const Case cases[] = {
        {"E1", 0, false, "E1"},
        {"e1", 0, false, "E1"},
        {"s3", 10, false, "S3"},
        {"V12", 25, false, "V12"},
        {"v1", 14, false, "V01"},
        {"V012", 25, false, "V12"},
        {"RE5", 64, false, "RE05"},
        {"CNT1", 76, false, "CNT1"},
        {"tpf2", 91, false, "TPF2"},
        {"CNTE1", 92, true, "CNTE1"},
        {"cnte2", 94, true, "CNTE2"},
        {"TPE3", 104, true, "TPE3"},
        {"TPE12", 122, true, "TPE12"},
        {"CNTE1:w", 92, true, "CNTE1"},
        {"V12:W", 25, true, "V12:w"},
        {"0", 0, false, "0"},
        {"0254", 254, false, "254"},
        {"92:w", 92, true, "92:w"},
        // Not a variable the lists show, or not a variable at all.
        {"TPE13", -1},
        {"E9", -1},
        {"S7", -1},
        {"255", -1},
        {"-1", -1},
        {"", -1},
        {":w", -1},
        {"E1x", -1},
        {"X1", -1},
        {"V 1", -1},
        {"1234567", -1},
        {"CNTE", -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        WatchVariable variable;
        const Result parsed = ParseWatchVariable(c.text, variable);
        if (c.address < 0) {
            EXPECT_EQ(parsed.message, std::string("Variable desconocida: ") + c.text);
            continue;
        }
        ASSERT_TRUE(parsed.ok);
        EXPECT_EQ(variable, (WatchVariable{c.address, c.word, c.label}));
    }
}

TEST(WatchVariable, WriteAssignmentsTakeTheMonitorsValueRule) {
    struct Case {
        const char* text;
        std::optional<SendRow> row;
        const char* message;
    };
    const Case cases[] = {
        {"CNTE1=1234", SendRow{92, true, 1234}, nullptr},
        {"92:w=65535", SendRow{92, true, 65535}, nullptr},
        {"v01=255", SendRow{14, false, 255}, nullptr},
        {"E1=300", std::nullopt, "Edición de datos inválido"},
        {"1=65536", std::nullopt, "Edición de datos inválido"},
        {"V01=", std::nullopt, "Edición de datos inválido"},
        {"V01=+1", std::nullopt, "Edición de datos inválido"},
        {"motor=1", std::nullopt, "Variable desconocida: motor"},
        {"E1", std::nullopt, "Variable desconocida: E1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        SendRow row;
        const Result parsed = ParseWriteAssignment(c.text, row);
        EXPECT_EQ(parsed.ok, c.row.has_value());
        if (c.row) {
            EXPECT_EQ(row, *c.row);
        } else {
            EXPECT_EQ(parsed.message, c.message);
        }
    }
}

TEST(WatchOutput, LinesAndCsvRows) {
    std::tm local{};
    local.tm_year = 2027 - 1900;
    local.tm_mon = 2;
    local.tm_mday = 15;
    local.tm_hour = 9;
    local.tm_min = 5;
    local.tm_sec = 7;
    const std::string time = FormatWatchTimestamp(local, 42);
    EXPECT_EQ(time, "2027-03-15 09:05:07.042");

    const std::vector<WatchVariable> variables = {{92, true, "CNTE1"}, {0, false, "E1"}, {14, false, "a,\"b\""}};
    ControllerImage image;
    image.SetByte(92, 0x34);
    image.SetByte(93, 0x12);
    image.SetByte(0, 1);
    image.SetByte(14, 200);
    EXPECT_EQ(FormatWatchLine(time, variables, image, true), time + " CNTE1=4660 E1=1 a,\"b\"=200");
    EXPECT_EQ(FormatWatchLine(time, variables, image, false), time + " sin respuesta");
    EXPECT_EQ(FormatWatchCsvHeader(variables), "hora,CNTE1,E1,\"a,\"\"b\"\"\"");
    EXPECT_EQ(FormatWatchCsvRow(time, variables, image, true), time + ",4660,1,200");
    EXPECT_EQ(FormatWatchCsvRow(time, variables, image, false), time + ",,,");

    // The variables poll as the monitor's rows do: a word's second byte in the first cycle only.
    const std::vector<MonitorRow> rows = WatchRows(variables);
    EXPECT_EQ(PollListAddresses(BuildPollList(rows)), (PollAddresses{92, 93, 0, 14}));
    EXPECT_EQ(PollListAddresses(RebuildPollList(rows)), (PollAddresses{92, 0, 14}));
}

class WatchSetTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "velmorin-watch-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir = pattern;
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }

    std::string Save(const MonitorState& state) {
        const fs::path path = dir / "set.mld";
        EXPECT_TRUE(WriteMonitorFile(path.string(), state).ok);
        return path.string();
    }

    fs::path dir;
};

TEST_F(WatchSetTest, AMapGivesItsVariablesWordsAndAliases) {
    auto program = std::make_unique<ProgramModel>();
    ResetModel(*program);
    testing::PutRung(*program, 1);
    SetFieldText(program->aliases[testing::S1].alias, "motor");
    const fs::path source = dir / "prensa.ldr";
    ASSERT_TRUE(WriteSourceFile(*program, source.string()).ok);

    MonitorState state;
    state.set[1][2] = {9, 0, 0};   // s1
    state.set[1][5] = {93, 1, 0};  // CNTE1
    state.set[1][6] = {15, 1, 0};  // V01 read as a word
    state.programPath = source.string();
    const WatchSet set = ReadWatchSet(Save(state), 1);
    ASSERT_TRUE(set.result.ok);
    EXPECT_TRUE(set.warning.empty());
    EXPECT_EQ(set.variables,
              (std::vector<WatchVariable>{{8, false, "motor"}, {92, true, "CNTE1"}, {14, true, "V01:w"}}));

    // Without its program the canonical names stand, and the reason is told.
    fs::remove(source);
    const WatchSet alone = ReadWatchSet(Save(state), 1);
    ASSERT_TRUE(alone.result.ok);
    EXPECT_EQ(alone.warning, msg::AssociatedOpenError);
    EXPECT_EQ(alone.variables[0].label, "S1");

    EXPECT_EQ(ReadWatchSet(Save(state), 0).result.message, msg::NoVariablesToReceive);
}

TEST_F(WatchSetTest, RefusesWhatTheMonitorRefusesWithItsMessage) {
    const fs::path path = dir / "old.mld";
    MonitorState state;
    state.set[0][0] = {1, 0, 0};
    std::vector<uint8_t> bytes = EncodeMonitorFile(state.set, state.image.Snapshot(), "");
    bytes[11] = '2';  // revision 02
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    EXPECT_EQ(ReadWatchSet(path.string(), 0).result.message, msg::IncompatibleVersion);
    EXPECT_EQ(ReadWatchSet((dir / "none.mld").string(), 0).result.message, msg::FileOpenError);
}

}  // namespace
}  // namespace velmorin
