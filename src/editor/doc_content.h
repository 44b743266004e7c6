#pragma once
// What the documentation says about a program besides its diagram: the
// budget and the diagnostics of a compilation in memory (no listing, no
// image written), the cross-reference and the observations.
#include "editor/doc_layout.h"
#include "model/ladder_model.h"

namespace velmorin {

DocumentContent GatherDocumentContent(const ProgramModel& model, const PrintHeading& heading);

}  // namespace velmorin
