// The command line's variables: names and addresses, what `write` accepts,
// the `watch` lines, and the variables of a monitor set's map.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
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

TEST(WatchVariable, NamesAndAddressesAndWriteValues) {
    const std::pair<const char*, WatchVariable> accepted[] = {
        {"e1", {0, false, "E1"}},       {"s3", {10, false, "S3"}},       {"v1", {14, false, "V01"}},
        {"V012", {25, false, "V12"}},   {"RE5", {64, false, "RE05"}},    {"CNT1", {76, false, "CNT1"}},
        {"cnte2", {94, true, "CNTE2"}}, {"TPE12", {122, true, "TPE12"}}, {"CNTE1:w", {92, true, "CNTE1"}},
        {"V12:W", {25, true, "V12:w"}}, {"0254", {254, false, "254"}},   {"92:w", {92, true, "92:w"}},
    };
    for (const auto& [text, expected] : accepted) {
        WatchVariable variable;
        EXPECT_TRUE(ParseWatchVariable(text, variable).ok) << text;
        EXPECT_EQ(variable, expected) << text;
    }
    for (const char* text : {"TPE13", "E9", "255", "-1", "", ":w", "E1x", "V 1", "CNTE", "1234567"}) {
        WatchVariable variable;
        EXPECT_EQ(ParseWatchVariable(text, variable).message, std::string("Variable desconocida: ") + text);
    }

    SendRow row;
    ASSERT_TRUE(ParseWriteAssignment("CNTE1=12345", row).ok);
    EXPECT_EQ(row, (SendRow{92, true, 12345}));
    for (const char* text : {"E1=300", "1=65536", "V01=", "V01=+1"})
        EXPECT_EQ(ParseWriteAssignment(text, row).message, msg::InvalidData) << text;
    EXPECT_EQ(ParseWriteAssignment("motor=1", row).message, "Variable desconocida: motor");
}

TEST(WatchOutput, LinesCsvRowsAndThePollTheyComeFrom) {
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
    for (const auto& [address, value] : {std::pair{92, 0x34}, {93, 0x12}, {0, 1}, {14, 200}})
        image.SetByte(address, static_cast<uint8_t>(value));
    EXPECT_EQ(FormatWatchLine(time, variables, image, true), time + " CNTE1=4660 E1=1 a,\"b\"=200");
    EXPECT_EQ(FormatWatchLine(time, variables, image, false), time + " sin respuesta");
    EXPECT_EQ(FormatWatchCsvHeader(variables), "hora,CNTE1,E1,\"a,\"\"b\"\"\"");
    EXPECT_EQ(FormatWatchCsvRow(time, variables, image, true), time + ",4660,1,200");
    EXPECT_EQ(FormatWatchCsvRow(time, variables, image, false), time + ",,,");

    const VariablePollPlan poll = PlanVariablePoll(WatchRows(variables));
    EXPECT_EQ(poll.plan.firstCycle, (PollAddresses{92, 93, 0, 14}));
    EXPECT_EQ(poll.renewed, (PollAddresses{92, 0, 14}));
}

TEST(WatchSet, AMapGivesItsVariablesWithWordsAndAliasesOrTheMonitorsRefusal) {
    std::string pattern = (fs::temp_directory_path() / "velmorin-watch-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    const fs::path dir = pattern;
    auto program = std::make_unique<ProgramModel>();
    ResetModel(*program);
    testing::PutRung(*program, 1);
    SetFieldText(program->aliases[testing::S1].alias, "motor");
    ASSERT_TRUE(WriteSourceFile(*program, (dir / "prensa.ldr").string()).ok);

    MonitorState state;
    state.set[1][2] = {9, 0, 0};   // s1
    state.set[1][5] = {93, 1, 0};  // CNTE1
    state.set[1][6] = {15, 1, 0};  // V01 read as a word
    state.programPath = (dir / "prensa.ldr").string();
    const std::string path = (dir / "set.mld").string();
    ASSERT_TRUE(WriteMonitorFile(path, state).ok);
    WatchSet set = ReadWatchSet(path, 1);
    ASSERT_TRUE(set.result.ok);
    EXPECT_EQ(set.variables,
              (std::vector<WatchVariable>{{8, false, "motor"}, {92, true, "CNTE1"}, {14, true, "V01:w"}}));
    EXPECT_EQ(ReadWatchSet(path, 0).result.message, msg::NoVariablesToReceive);

    fs::remove(dir / "prensa.ldr");  // without its program the canonical names stand
    set = ReadWatchSet(path, 1);
    EXPECT_EQ(set.warning, msg::AssociatedOpenError);
    EXPECT_EQ(set.variables.at(0).label, "S1");

    std::fstream(path, std::ios::in | std::ios::out | std::ios::binary).seekp(11).put('2');  // revision 02
    EXPECT_EQ(ReadWatchSet(path, 1).result.message, msg::IncompatibleVersion);
    fs::remove_all(dir);
}

}  // namespace
}  // namespace velmorin
