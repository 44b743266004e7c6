#include "link/monitor_file.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "link/monitor_messages.h"
#include "model/atomic_file.h"
#include "model/file_requests.h"
#include "model/header_line.h"
#include "model/messages.h"
#include "model/operand_areas.h"
#include "model/text_encoding.h"

namespace velmorin {
namespace {

constexpr const char* Magic = "~VLO";
constexpr size_t HeaderLineLimit = 511;
constexpr size_t RowBytes = 8;
constexpr size_t SetBytes = RowBytes * MonitorMapCount * MonitorRowsPerMap;
constexpr size_t ImageBytes = ControllerImage::Size;
// The longest monitor file a reader looks at: a full header line, then the body.
constexpr size_t MonitorReadLimit = HeaderLineLimit + 1 + SetBytes + ImageBytes + MonitorPathBytes;
// A source file's cells and aliases fit many times over.
constexpr size_t SourceReadLimit = 1u << 20;
constexpr uint8_t EndMark = 0xFF;

void PutInt32(std::vector<uint8_t>& out, int32_t value) {
    const auto v = static_cast<uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

int32_t GetInt32(const uint8_t* at) {
    const uint32_t v = at[0] | (uint32_t{at[1]} << 8) | (uint32_t{at[2]} << 16) | (uint32_t{at[3]} << 24);
    return static_cast<int32_t>(v);
}

std::string NameText(const NameField& field) { return Windows1252ToUtf8(FieldText(field)); }

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

std::string WithMonitorExtension(const std::string& path) {
    return std::filesystem::path(path).has_extension() ? path : path + ".mld";
}

// The alias loading shared by "Asociar" and "Recuperar".
std::optional<Association> Associate(Prompts& prompts, ProgramModel& model, const std::string& path) {
    std::vector<SourceAlias> records;
    if (const Result read = ReadAssociatedAliases(path, records); !read) {
        prompts.ShowFailure(read);
        return std::nullopt;
    }
    return Association{ApplyProgramAliases(records, model.aliases, model.monitorNames), ProgramDisplayName(path)};
}

}  // namespace

std::vector<uint8_t> EncodeMonitorFile(const MonitorSet& set, const ControllerImage::Bytes& image,
                                       const std::string& programPath) {
    char header[32];
    const int headerLength =
        std::snprintf(header, sizeof header, "%s| %03dr%02d \n", Magic, MonitorFileVersion, MonitorFileRevision);
    std::vector<uint8_t> out(header, header + headerLength);
    for (const MonitorMap& map : set) {
        for (const MonitorRow& row : map) {
            PutInt32(out, row.reference);
            out.insert(out.end(), {row.word, row.send, 0, 0});
        }
    }
    out.insert(out.end(), image.begin(), image.end());
    const size_t pathStart = out.size();
    out.resize(pathStart + MonitorPathBytes, 0);
    if (programPath.size() < MonitorPathBytes)
        std::copy(programPath.begin(), programPath.end(), out.begin() + pathStart);
    return out;
}

Result DecodeMonitorFile(std::span<const uint8_t> bytes, const MonitorNameTable& names, MonitorFileContents& contents) {
    const HeaderLine header = ReadHeaderLine(bytes, HeaderLineLimit);
    if (!HasMagic(header.text, Magic)) return Result::Fail(msg::NotMonitorFile);
    const std::optional<HeaderVersion> v = ParseHeaderVersion(header.text);
    if (!v || v->version != MonitorFileVersion || v->revision != MonitorFileRevision)
        return Result::Fail(msg::IncompatibleVersion);

    const std::span<const uint8_t> body = bytes.subspan(header.consumed);
    if (body.size() < SetBytes + ImageBytes) return Result::Fail(msg::FileCorrupt);

    MonitorFileContents read;
    const uint8_t* at = body.data();
    for (MonitorMap& map : read.set) {
        for (MonitorRow& row : map) {
            row.reference = GetInt32(at);
            row.word = at[4];
            row.send = at[5];
            at += RowBytes;
            if (!ListShowsReference(row.reference, names)) return Result::Fail(msg::FileCorrupt);
        }
    }
    std::copy_n(at, ImageBytes, read.image.begin());
    at += ImageBytes;
    if (body.size() >= SetBytes + ImageBytes + MonitorPathBytes) {
        const uint8_t* end = std::find(at, at + MonitorPathBytes - 1, uint8_t{0});
        read.programPath.assign(at, end);
    }
    contents = std::move(read);
    return Result::Ok();
}

Result WriteMonitorFile(const std::string& path, const MonitorState& state) {
    return WriteFileAtomically(path, EncodeMonitorFile(state.set, state.image.Snapshot(), state.programPath));
}

Result ReadMonitorFile(const std::string& path, const MonitorNameTable& names, MonitorFileContents& contents) {
    std::vector<uint8_t> bytes;
    if (Result read = ReadFileBytes(path, MonitorReadLimit, bytes); !read) return read;
    return DecodeMonitorFile(bytes, names, contents);
}

Result ReadAssociatedAliases(const std::string& path, std::vector<SourceAlias>& aliases) {
    std::vector<uint8_t> bytes;
    if (Result read = ReadFileBytes(path, SourceReadLimit, bytes); !read)
        return Result::Fail(msg::AssociatedOpenError, read.detail);
    return ReadSourceAliases(bytes, aliases);
}

std::vector<AppliedAlias> ApplyProgramAliases(std::span<const SourceAlias> records,
                                              const std::array<AliasEntry, AliasCount>& aliasTable,
                                              MonitorNameTable& names) {
    std::vector<AppliedAlias> applied;
    for (const SourceAlias& record : records) {
        if (record.index >= FirstCountState || static_cast<uint8_t>(record.alias[0]) == EndMark) continue;
        names[record.index] = record.alias;
        applied.push_back({record.index, NameText(aliasTable[record.index].name), NameText(record.alias)});
    }
    return applied;
}

void ReplaceListItems(std::vector<std::string>& items, std::span<const AppliedAlias> applied) {
    for (const AppliedAlias& alias : applied) {
        const size_t item = static_cast<size_t>(ItemForReference(alias.index + 1));
        if (item < items.size() && EqualIgnoringCase(items[item], alias.name)) items[item] = alias.alias;
    }
}

std::string ProgramDisplayName(const std::string& path) {
    const std::string name = std::filesystem::path(path).filename().string();
    return name.substr(0, name.find('.'));
}

FileDialogRequest MonitorSaveRequest(const std::string& directory) {
    return FileRequest(FileType::MonitorSet, FileDialogMode::Save, "Guardar archivo monitor", directory, true);
}

FileDialogRequest MonitorOpenRequest(const std::string& directory) {
    return FileRequest(FileType::MonitorSet, FileDialogMode::Open, "Abrir archivo Monitor", directory, true);
}

FileDialogRequest AssociateRequest(const std::string& directory) {
    return FileRequest(FileType::Source, FileDialogMode::Open, "Abrir programa asociado al Monitor", directory, false);
}

bool SaveMonitorSet(Prompts& prompts, const MonitorState& state, const std::string& directory) {
    const std::optional<std::string> chosen = prompts.AskFile(MonitorSaveRequest(directory));
    if (!chosen || chosen->empty()) return false;
    if (const Result written = WriteMonitorFile(WithMonitorExtension(*chosen), state); !written) {
        prompts.ShowMessage(written.message);
        return false;
    }
    return true;
}

std::optional<MonitorLoad> LoadMonitorSet(Prompts& prompts, MonitorState& state, ProgramModel& model,
                                          const std::string& directory) {
    const std::optional<std::string> chosen = prompts.AskFile(MonitorOpenRequest(directory));
    if (!chosen || chosen->empty()) return std::nullopt;
    MonitorFileContents contents;
    if (const Result read = ReadMonitorFile(*chosen, model.monitorNames, contents); !read) {
        prompts.ShowMessage(read.message);
        return std::nullopt;
    }
    state.set = contents.set;
    state.image.Assign(contents.image);
    state.programPath = contents.programPath;
    MonitorLoad load;
    if (!state.programPath.empty()) load.association = Associate(prompts, model, state.programPath);
    return load;
}

std::optional<Association> AssociateProgram(Prompts& prompts, MonitorState& state, ProgramModel& model,
                                            const std::string& directory) {
    const std::optional<std::string> chosen = prompts.AskFile(AssociateRequest(directory));
    if (!chosen || chosen->empty()) return std::nullopt;
    std::optional<Association> association = Associate(prompts, model, *chosen);
    if (association) state.programPath = *chosen;
    return association;
}

}  // namespace velmorin
