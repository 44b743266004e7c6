#pragma once
// The core never shows a message: operations return this, and the caller
// shows `message` (a fixed text) when `ok` is false.
#include <string>
#include <utility>

namespace velmorin {

struct Result {
    bool ok = true;
    std::string message;

    static Result Ok() { return {}; }
    static Result Fail(std::string text) { return {false, std::move(text)}; }
    explicit operator bool() const { return ok; }
};

}  // namespace velmorin
