#pragma once
// The command line's view of controller variables: a VAR names one by its
// monitor name or its address, `watch` prints one line per poll cycle, and
// `watch --set` takes a map of a monitor set. The commands themselves run
// the poll cycle and the write exchange over the link.
#include <cstdint>
#include <ctime>
#include <span>
#include <string>
#include <vector>

#include "link/controller_image.h"
#include "link/monitor_set.h"
#include "model/result.h"

namespace velmorin {

struct WatchVariable {
    int32_t address = 0;
    bool word = false;
    std::string label;  // the column name: canonical name, alias or address
    bool operator==(const WatchVariable&) const = default;
};

// A poll list holds at most 256 entries and a word may take two.
constexpr size_t MaxWatchVariables = 128;

// "E1", "s3", "V12" (V012 too), "CNT1", "CNTE1", "TPE3": any name the
// variable lists show, case-insensitive; or an address 0..254. A count
// state is a word; ":w" after any VAR reads a word as well.
Result ParseWatchVariable(const std::string& text, WatchVariable& variable);

// "VAR=VALUE" for `write`: the value is read as the monitor's "Enviar PLC"
// reads a field (0..255 for a byte, 0..65535 for a word; "Edición de
// datos inválido" otherwise).
Result ParseWriteAssignment(const std::string& text, SendRow& row);

// `watch --set FILE --map K`: the rows with a variable of map `mapIndex`
// (0..3), labelled with the associated program's aliases when it can be
// read (`warning` then carries nothing; otherwise the reason). A file the
// monitor would refuse is refused with the same message, and a map without
// variables with "No hay variables para recibir".
struct WatchSet {
    Result result;
    std::vector<WatchVariable> variables;
    std::string warning;
};
WatchSet ReadWatchSet(const std::string& path, int mapIndex);

// The rows a poll plan is built from (PlanVariablePoll), one per variable.
std::vector<MonitorRow> WatchRows(std::span<const WatchVariable> variables);

// "2026-03-15 10:22:01.123"
std::string FormatWatchTimestamp(const std::tm& local, int milliseconds);

// "<time> E1=1 CNTE1=4660", or "<time> sin respuesta" after a cycle in
// which the controller never answered.
std::string FormatWatchLine(const std::string& timestamp, std::span<const WatchVariable> variables,
                            const ControllerImage& image, bool replied);
// "hora,E1,CNTE1", then "<time>,1,4660" per cycle; a silent cycle leaves
// the value fields empty. Fields that need it are quoted.
std::string FormatWatchCsvHeader(std::span<const WatchVariable> variables);
std::string FormatWatchCsvRow(const std::string& timestamp, std::span<const WatchVariable> variables,
                              const ControllerImage& image, bool replied);

}  // namespace velmorin
