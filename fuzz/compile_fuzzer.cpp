// The compiler over any grid: shapes 0..29, elements 0..41 and any
// parameter bytes anywhere, rails included. An input that starts like a
// source file is loaded as one (so real programs seed the corpus); any
// other input draws cells directly. Compiles in memory; it must never
// crash, hang or write outside its tables, and compiling the same model
// again must give the same output (nothing is kept between compilations).
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "compiler/compiler.h"
#include "compiler/image_dump.h"
#include "compiler/program_image.h"
#include "model/ladder_model.h"
#include "model/source_file.h"

using namespace velmorin;

namespace {

void DrawCells(ProgramModel& model, FuzzedDataProvider& in) {
    // Dense: consecutive cells from a start row, so wire fields and loops
    // are common; sparse: each cell names its own position.
    const bool dense = in.ConsumeBool();
    int32_t position = in.ConsumeIntegralInRange<int32_t>(0, GridRows - 1) * GridColumns;
    while (in.remaining_bytes() > 0) {
        int32_t row, column;
        if (dense) {
            if (position >= GridRows * GridColumns) break;
            row = position / GridColumns;
            column = position % GridColumns;
            ++position;
        } else {
            row = in.ConsumeIntegralInRange<int32_t>(0, GridRows - 1);
            column = in.ConsumeIntegralInRange<int32_t>(0, GridColumns - 1);
        }
        LadderCell& cell = model.grid.at(row, column);
        cell.shape = in.ConsumeIntegralInRange<int32_t>(0, CellKindCount - 1);
        cell.element = in.ConsumeIntegralInRange<int32_t>(0, ElementNone);
        const uint8_t withParams = in.ConsumeIntegral<uint8_t>();
        for (int32_t p = 0; p < ParamSlots; ++p) {
            if ((withParams & (1u << p)) == 0) continue;
            const std::vector<uint8_t> bytes =
                in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange<size_t>(0, SlotBytes));
            if (!bytes.empty()) std::memcpy(cell.params[p].data(), bytes.data(), bytes.size());
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static auto model = std::make_unique<ProgramModel>();
    ResetModel(*model);
    if (size >= 4 && std::memcmp(data, "~VLM", 4) == 0) {
        ReadSourceBytes(*model, std::span<const uint8_t>(data, size));
    } else {
        FuzzedDataProvider in(data, size);
        DrawCells(*model, in);
    }
    const CompileOutput output = Compile(*model);
    if (output.image.codeLength < 0 || output.image.codeLength > ImageSize) std::abort();
    if (output.diagnostics.size() > 500) std::abort();
    const CompileOutput again = Compile(*model);
    if (again.image.bytes != output.image.bytes || again.image.codeLength != output.image.codeLength ||
        again.diagnostics != output.diagnostics || again.listing != output.listing || again.labels != output.labels)
        std::abort();
    (void)DumpImage(output.image);
    return 0;
}
