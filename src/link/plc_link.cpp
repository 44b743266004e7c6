#include "link/plc_link.h"

#include <cstdio>

namespace velmorin {

std::string FormatLinkError(const LinkError& error) {
    char text[64];
    std::snprintf(text, sizeof text, "Error %d - %d en comunicación", static_cast<int>(error.code),
                  static_cast<int>(error.systemError));
    return text;
}

Result LinkFailure(const LinkError& error) { return Result::Fail(FormatLinkError(error), error.detail); }

}  // namespace velmorin
