#include "compiler/diagnostics.h"

#include "compiler/numbers.h"

namespace velmorin {

const std::array<DiagnosticText, DiagnosticKeyCount> DiagnosticCatalogue = {{
    {" Obs.: Etiqueta no definida", false},
    {" Obs.: Elemento en cortocircuito", false},
    {" Obs.: Ramal sin resolver", false},
    {" Obs.: Inicio de ramal inválido", false},
    {" Obs.: Falta conexión en tmp/cnt", false},
    {" Obs.: Acumulador previo indefinido", false},
    {"Error: Combinación de ramal inválida", true},
    {"Error: Demasiados errores", true},
    {"Error: Memoria insuficiente", true},
    {"Error: No se pudo resolver el tmp/cnt", true},
    {"Error: No se pudo unir el ramal", true},
    {"Error: Etiqueta mal definida", true},
    {"Error: Salto a subrutina sin retorno", true},
    {" Obs.: Posible desborde de anidamiento a subrutinas", false},
    {" Obs.: La última instrucción debe ser END o RJP", false},
    {" Obs.: Posible flujo inverso de datos", false},
    {"Error: Demasiadas ramas derivadas", true},
}};

std::string DiagnosticMessage(int32_t key) {
    if (key < 0 || key >= DiagnosticKeyCount) return {};
    return DiagnosticCatalogue[key].text;
}

void DiagnosticList::Reset() {
    size_ = 0;
    errorCount_ = 0;
    warningCount_ = 0;
}

int DiagnosticList::Raise(int32_t key, int32_t column, int32_t row) {
    if (column >= 0 && row >= 0) {
        for (int32_t i = 0; i < size_; ++i) {
            const DiagnosticEntry& e = entries_[i];
            if (e.key == key && e.column == column && e.row == row) return 1;
        }
    }
    const bool isError = key >= 0 && key < DiagnosticKeyCount && DiagnosticCatalogue[key].isError;
    if (isError)
        ++errorCount_;
    else
        ++warningCount_;
    if (size_ >= DiagnosticCapacity) return 0;
    entries_[size_++] = {key, column, row};
    // The last two slots are kept for one entry and the marker that closes the list.
    if (size_ >= DiagnosticCapacity - 1) entries_[size_++] = {DiagTooManyErrors, 0, 0};
    return 1;
}

DiagnosticPlace PlaceOf(int32_t column, int32_t row) {
    // C division and remainder (toward zero): row 0 gives label 0, row 0.
    return {(row - 1) / BlockRows, (row - 1) % BlockRows + 1, column};
}

std::string FormatDiagnosticLine(const ProgramModel& model, const DiagnosticEntry& entry) {
    const DiagnosticPlace place = PlaceOf(entry.column, entry.row);
    std::string line;
    if (place.label >= 0 && place.label < LabelCount) line = FieldText(model.labels[place.label].name);
    line += " Y";
    AppendDecimal(line, place.rowInBlock);
    line += " X";
    AppendDecimal(line, place.column);
    line += ": ";
    line += DiagnosticMessage(entry.key);
    return line;
}

namespace {

void AppendCount(std::string& text, int count, const char* one, const char* many) {
    AppendDecimal(text, count);
    text += ' ';
    text += count == 1 ? one : many;
}

}  // namespace

std::string FormatCompileTotals(int errors, int warnings) {
    std::string text;
    AppendCount(text, errors, "error", "errores");
    text += ", ";
    AppendCount(text, warnings, "warning", "warnings");
    return text;
}

std::string FormatCompileTotals(int errors, int warnings, int codeBytes) {
    std::string text = FormatCompileTotals(errors, warnings);
    text += ", ";
    AppendCount(text, codeBytes, "byte", "bytes");
    return text;
}

}  // namespace velmorin
