#pragma once
// The icons and indicator images are compiled into the static GUI library;
// a static library's resources register only when something asks for them.
// Every window that shows one calls this first (repeated calls are harmless).
namespace velmorin {

void InitAppResources();

}  // namespace velmorin
