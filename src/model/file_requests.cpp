#include "model/file_requests.h"

namespace velmorin {
namespace {

struct FileTypeDef {
    FileType type;
    const char* name;
    const char* pattern;
    const char* extension;
};

constexpr FileTypeDef FileTypes[] = {
    {FileType::Source, "Fuente Ladder", "*.ldr", "ldr"},
    {FileType::Image, "Binario Ladder", "*.bld", "bld"},
    {FileType::MonitorSet, "Monitor Ladder", "*.mld", "mld"},
};

const FileTypeDef& DefOf(FileType type) {
    for (const FileTypeDef& def : FileTypes)
        if (def.type == type) return def;
    return FileTypes[0];
}

}  // namespace

FileDialogRequest FileRequest(FileType type, FileDialogMode mode, const char* title, const std::string& directory,
                              bool presetPattern) {
    const FileTypeDef& def = DefOf(type);
    FileDialogRequest request;
    request.save = mode == FileDialogMode::Save;
    request.title = title;
    request.filters = {{def.name, def.pattern}, {"Todos los archivos", "*.*"}};
    if (presetPattern) request.presetName = def.pattern;
    request.directory = directory;
    request.defaultExtension = def.extension;
    request.confirmOverwrite = request.save;
    return request;
}

}  // namespace velmorin
