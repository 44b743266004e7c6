#include "editor/alias_commands.h"

#include <cstdio>
#include <filesystem>
#include <memory>

#include "editor/doc_messages.h"
#include "model/alias_csv.h"
#include "model/source_file.h"
#include "model/text_encoding.h"

namespace velmorin {
namespace {

constexpr const char* TableExtension = "csv";

FileDialogRequest TableRequest(bool save, const char* title, const std::string& directory) {
    FileDialogRequest request;
    request.save = save;
    request.title = title;
    request.filters = {{msg::AliasTableFilter, "*.csv"}, {msg::AllFilesFilter, "*.*"}};
    request.presetName = "*.csv";
    request.directory = directory;
    request.defaultExtension = TableExtension;
    request.confirmOverwrite = save;
    return request;
}

}  // namespace

std::optional<std::string> RunAliasExport(Prompts& prompts, const ProgramModel& model, const std::string& directory,
                                          const std::string& sourcePath) {
    FileDialogRequest request = TableRequest(true, msg::ExportAliasesTitle, directory);
    const std::filesystem::path source(sourcePath);
    if (!source.empty()) request.presetName = source.stem().string() + "." + TableExtension;
    const std::optional<std::string> chosen = prompts.AskFile(request);
    if (!chosen || chosen->empty()) return std::nullopt;
    std::string path = *chosen;
    if (!std::filesystem::path(path).has_extension()) path += std::string(".") + TableExtension;
    const Result written = WriteAliasCsvFile(model, path);
    if (!written) {
        prompts.ShowFailure(written);
        return std::nullopt;
    }
    return path;
}

std::optional<AliasTableFile> AskAliasTable(Prompts& prompts, const std::string& directory) {
    const std::optional<std::string> chosen = prompts.AskFile(TableRequest(false, msg::ImportAliasesTitle, directory));
    if (!chosen || chosen->empty()) return std::nullopt;
    AliasTableFile table{*chosen, {}};
    if (const Result read = ReadAliasCsvFile(table.path, table.text); !read) {
        prompts.ShowFailure(read);
        return std::nullopt;
    }
    return table;
}

std::vector<std::string> AliasesLostOnSave(const ProgramModel& model) {
    // The program as a save writes it and an open reads it back: whatever
    // differs is what the file does not keep.
    auto reloaded = std::make_unique<ProgramModel>();
    ResetModel(*reloaded);
    std::vector<std::string> lost;
    if (!ReadSourceBytes(*reloaded, EncodeSourceFile(model))) return lost;
    for (size_t index = 0; index < model.aliases.size(); ++index) {
        const AliasEntry& entry = model.aliases[index];
        if (entry.name[0] == 0 || static_cast<unsigned char>(entry.name[0]) == Unchosen) break;
        if (FieldText(entry.alias) != FieldText(reloaded->aliases[index].alias))
            lost.push_back(Windows1252ToUtf8(FieldText(entry.name)));
    }
    return lost;
}

std::string AliasesNotKeptNote(const ProgramModel& model) {
    const std::vector<std::string> lost = AliasesLostOnSave(model);
    if (lost.empty()) return {};
    std::string names;
    for (const std::string& name : lost) names += (names.empty() ? "" : ", ") + name;
    char text[4096];
    std::snprintf(text, sizeof text, msg::AliasesNotKept, names.c_str());
    return text;
}

}  // namespace velmorin
