#pragma once
// Monitor sets (*.mld): a 14-byte header line, the 32 rows of the four
// maps, the monitor image and the associated program's path, 1038 bytes in
// all. Also the associated program: the aliases a source file lends to the
// variable lists. The Guardar, Recuperar and Asociar flows run here with
// the caller's Prompts; the window shows what they return.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "link/monitor_set.h"
#include "model/ladder_model.h"
#include "model/prompts.h"
#include "model/result.h"
#include "model/source_file.h"

namespace velmorin {

constexpr int32_t MonitorFileVersion = 100;
constexpr int32_t MonitorFileRevision = 3;
constexpr size_t MonitorPathBytes = 512;
constexpr size_t MonitorFileSize =
    14 + 8 * MonitorMapCount * MonitorRowsPerMap + ControllerImage::Size + MonitorPathBytes;

struct MonitorFileContents {
    MonitorSet set{};
    ControllerImage::Bytes image{};
    std::string programPath;
};

// A path that does not fit the 511 characters of its block is not written
// cut short: the file then names no program.
std::vector<uint8_t> EncodeMonitorFile(const MonitorSet& set, const ControllerImage::Bytes& image,
                                       const std::string& programPath);

// Only version 100 revision 3 is read. A file shorter than its header, set
// and image, or with a row the variable lists (built from `names`) cannot
// show, is refused with "Error en el archivo". A path block cut short by
// the file's end names no program. `contents` is written only on success.
Result DecodeMonitorFile(std::span<const uint8_t> bytes, const MonitorNameTable& names, MonitorFileContents& contents);

// Through a temporary file and a rename: a failure leaves an older file as it was.
Result WriteMonitorFile(const std::string& path, const MonitorState& state);
Result ReadMonitorFile(const std::string& path, const MonitorNameTable& names, MonitorFileContents& contents);

// ---- The associated program -----------------------------------------------

// The alias records of a source file. Only a regular file is read (a pipe
// or a device chosen by name must not hang the dialog); failing to open it
// gives "Error al abrir el archivo asociado al Monitor", a bad file the
// source reader's own messages.
Result ReadAssociatedAliases(const std::string& path, std::vector<SourceAlias>& aliases);

struct AppliedAlias {
    int32_t index = 0;
    std::string name;   // the canonical name the lists show for the index (UTF-8)
    std::string alias;  // what they show instead (UTF-8)
};

// Copies each alias into the monitor name table and says which list items
// change. Only the named variables (indices below the count states) take
// aliases, and an alias that would read as the table's end mark is passed
// over, so a file can rename a variable but never reshape the lists.
std::vector<AppliedAlias> ApplyProgramAliases(std::span<const SourceAlias> records,
                                              const std::array<AliasEntry, AliasCount>& aliasTable,
                                              MonitorNameTable& names);

// In one variable list: the item of each index takes the alias when it
// still shows the canonical name (compared ignoring case); a list without
// that item stays as it is.
void ReplaceListItems(std::vector<std::string>& items, std::span<const AppliedAlias> applied);

// The program's file name without its folder, cut at the first '.'.
std::string ProgramDisplayName(const std::string& path);

// ---- The dialog's file flows ----------------------------------------------

FileDialogRequest MonitorSaveRequest(const std::string& directory);
FileDialogRequest MonitorOpenRequest(const std::string& directory);
FileDialogRequest AssociateRequest(const std::string& directory);

struct Association {
    std::vector<AppliedAlias> aliases;
    std::string programName;  // for the field beside "Asociar"
};

// "Guardar": true when the set was written.
bool SaveMonitorSet(Prompts& prompts, const MonitorState& state, const std::string& directory);

struct MonitorLoad {
    // The associated program's aliases, when the file names one and it could
    // be read; a program that cannot be read is reported and the set stays loaded.
    std::optional<Association> association;
};
// "Recuperar": on success the state holds the file's set, image and path
// and the window shows map 0 (and, while polling, publishes its poll list);
// on cancel or refusal nothing changed.
std::optional<MonitorLoad> LoadMonitorSet(Prompts& prompts, MonitorState& state, ProgramModel& model,
                                          const std::string& directory);

// "Asociar": on success the monitor names carry the aliases and the state
// keeps the program's path; on cancel or failure nothing changed.
std::optional<Association> AssociateProgram(Prompts& prompts, MonitorState& state, ProgramModel& model,
                                            const std::string& directory);

}  // namespace velmorin
