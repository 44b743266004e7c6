// Feeds arbitrary bytes to the source reader: it refuses them with one of its
// messages, or what it loaded saves and loads again.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "model/diagram_text.h"
#include "model/messages.h"
#include "model/source_file.h"

namespace {

bool IsReaderMessage(const std::string& m) {
    return m == velmorin::msg::NotSourceFile || m == velmorin::msg::IncompatibleVersion ||
           m == velmorin::msg::FileCorrupt;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace velmorin;
    // A reset model is copied rather than rebuilt for every input, into two
    // scratch models that are reused: fresh allocations of this size cost a
    // page-in per run and dominate the time.
    struct Scratch {
        ProgramModel reset, model, again;
    };
    static Scratch* const scratch = [] {
        auto* s = new Scratch;
        ResetModel(s->reset);
        return s;
    }();
    ProgramModel* const model = &scratch->model;
    ProgramModel* const again = &scratch->again;
    *model = scratch->reset;
    *again = scratch->reset;
    const Result r = ReadSourceBytes(*model, std::span<const uint8_t>(data, size));
    if (!r.ok) {
        if (!IsReaderMessage(r.message)) std::abort();
        return 0;
    }
    // A save cannot hold a rail that a file blanked out (empty cells are not
    // stored and the reset before a load lays the rails again), so the saved
    // bytes settle after one round: from then on save and load agree.
    const std::vector<uint8_t> first = EncodeSourceFile(*model);
    if (!ReadSourceBytes(*again, first).ok) std::abort();
    const std::vector<uint8_t> second = EncodeSourceFile(*again);
    *again = scratch->reset;
    if (!ReadSourceBytes(*again, second).ok) std::abort();
    if (EncodeSourceFile(*again) != second) std::abort();
    // The text view walks every cell and name of whatever loaded.
    if (FormatDiagramText(*again).empty()) std::abort();
    return 0;
}
