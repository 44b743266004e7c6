#pragma once
// The core never shows a message: operations return this, and the caller
// shows `message` (a fixed text) when `ok` is false. When a file or a system
// call is involved, `detail` names the file and the system's reason, for the
// line under the fixed text.
#include <string>
#include <utility>

namespace velmorin {

struct Result {
    bool ok = true;
    std::string message;
    std::string detail;

    static Result Ok() { return {}; }
    static Result Fail(std::string text, std::string detail = {}) {
        return {false, std::move(text), std::move(detail)};
    }
    explicit operator bool() const { return ok; }
};

}  // namespace velmorin
