#pragma once
// The operating system's reason for a failed call, in the program's language
// whatever the user's locale, for the detail line of a message.
#include <string>

namespace velmorin {

// "Permiso denegado" for EACCES, and so on; an error without a Spanish text
// of its own is named by its number.
std::string SystemReason(int errorNumber);

// Why a path that is not a regular file cannot be read as one, from its
// stat mode: "Es un directorio", a pipe, a device, a socket.
std::string FileTypeReason(unsigned mode);

// "PATH: REASON", the detail line of a failed file operation.
std::string FileDetail(const std::string& path, int errorNumber);

}  // namespace velmorin
