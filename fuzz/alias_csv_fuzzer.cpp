// An alias table as a spreadsheet or anyone else may have written it. A
// table the import accepts leaves every alias storable and distinct from the
// others, and the table exported afterwards reads back to the same names.
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "model/alias_csv.h"
#include "model/text_encoding.h"

using namespace velmorin;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static ProgramModel* const reset = [] {
        auto* m = new ProgramModel;
        ResetModel(*m);
        return m;
    }();
    static ProgramModel* const model = new ProgramModel;
    *model = *reset;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<AliasAssignment> rows;
    if (!ParseAliasCsv(*model, text, rows)) {
        if (!rows.empty()) std::abort();
        return 0;
    }
    ApplyAliases(*model, rows);
    for (int i = 0; i < 92; ++i) {
        const std::string a = FieldText(model->aliases[i].alias);
        if (a.empty() || a.size() > 8) std::abort();
        for (int j = i + 1; j < 92; ++j)
            if (SameNameIgnoringCase(a, FieldText(model->aliases[j].alias))) std::abort();
    }
    static ProgramModel* const again = new ProgramModel;
    *again = *reset;
    if (!ParseAliasCsv(*again, FormatAliasCsv(*model), rows)) std::abort();
    ApplyAliases(*again, rows);
    for (int i = 0; i < AliasCount; ++i)
        if (FieldText(again->aliases[i].alias) != FieldText(model->aliases[i].alias)) std::abort();
    return 0;
}
