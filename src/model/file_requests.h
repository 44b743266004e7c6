#pragma once
// The file dialogs of the program's own three file types, built in one
// place: the type's filter and its extension, then "Todos los archivos".
#include <string>

#include "model/prompts.h"

namespace velmorin {

enum class FileType {
    Source,      // "Fuente Ladder" (*.ldr)
    Image,       // "Binario Ladder" (*.bld)
    MonitorSet,  // "Monitor Ladder" (*.mld)
};

enum class FileDialogMode {
    Open,  // the file must exist
    Save,  // asks before overwriting
};

// `presetPattern`: the name field starts with the type's pattern ("*.ldr").
FileDialogRequest FileRequest(FileType type, FileDialogMode mode, const char* title, const std::string& directory,
                              bool presetPattern);

}  // namespace velmorin
