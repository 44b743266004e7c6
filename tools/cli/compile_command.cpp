// velmorin-cli compile: the compile command without a window; writes
// FILE.prg and, without errors, FILE.bld. The diagnostics as the error list
// reads them, as JSON, or as FILE:ROW:COL lines that editors and CI jump to.
#include <nlohmann/json.hpp>

#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "commands.h"
#include "compiler/headless_compile.h"
#include "model/text_encoding.h"

namespace velmorin::cli {
namespace {

using nlohmann::json;

const CommandText Text{
    "compile",
    "FILE.ldr",
    "compile to FILE.prg and FILE.bld",
    "compile FILE.ldr [--date YYYY-MM-DD] [--json | --format text|gnu]",
    "Compiles FILE.ldr into the listing FILE.prg and, without errors, the\n"
    "image FILE.bld. Prints one line per diagnostic and a totals line.",
    "The job fails (status 1) with errors, a refused source, an empty diagram\n"
    "or a listing or image that could not be written.",
};

struct Options {
    std::string source;
    std::optional<ImageDate> date;
    bool json = false;
    std::string format = "text";
};

bool IsError(int32_t key) { return key >= 0 && key < DiagnosticKeyCount && DiagnosticCatalogue[key].isError; }

// The catalogue's text without its leading blank (the warnings' " Obs.:").
std::string Trimmed(std::string text) {
    const size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first);
}

// "Elemento en cortocircuito": after "warning:" the class is said once.
std::string WithoutClass(const std::string& text) {
    for (const char* prefix : {"Error: ", "Obs.: "}) {
        const std::string p = prefix;
        if (text.compare(0, p.size(), p) == 0) return text.substr(p.size());
    }
    return text;
}

std::string TotalsLine(const CompileOutput& output) {
    return FormatCompileTotals(output.errorCount, output.warningCount, output.image.codeLength);
}

json DiagnosticJson(const ProgramModel& model, const DiagnosticEntry& d) {
    const DiagnosticPlace place = PlaceOf(d.column, d.row);
    const bool inBlock = d.row >= 1 && place.label >= 0 && place.label < BlockCount;
    return {{"key", d.key},
            {"severity", IsError(d.key) ? "error" : "warning"},
            {"text", Trimmed(DiagnosticMessage(d.key))},
            {"block", inBlock ? json(place.label) : json(nullptr)},
            {"label", inBlock ? json(Windows1252ToUtf8(FieldText(model.labels[place.label].name))) : json(nullptr)},
            {"row", d.row},
            {"y", place.rowInBlock},
            {"column", d.column}};
}

std::string Report(const Options& o, const SourceCompilation& compiled) {
    const CompileRun& run = compiled.run;
    const CompileOutput& output = run.output;
    std::string out;
    if (o.json) {
        json diagnostics = json::array();
        for (const DiagnosticEntry& d : output.diagnostics) diagnostics.push_back(DiagnosticJson(*compiled.model, d));
        const bool written = compiled.succeeded();
        const json report{
            {"file", o.source},
            {"listing", run.files ? json(run.targets.listingPath) : json(nullptr)},
            {"image", written ? json(run.targets.imagePath) : json(nullptr)},
            {"diagnostics", diagnostics},
            {"totals",
             {{"errors", output.errorCount}, {"warnings", output.warningCount}, {"bytes", output.image.codeLength}}}};
        return report.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
    }
    for (const DiagnosticEntry& d : output.diagnostics) {
        if (o.format == "gnu") {
            out += o.source + ":" + std::to_string(d.row) + ":" + std::to_string(d.column) + ": " +
                   (IsError(d.key) ? "error: " : "warning: ") + WithoutClass(Trimmed(DiagnosticMessage(d.key)));
        } else {
            out += FormatDiagnosticLine(*compiled.model, d);
        }
        out += "\n";
    }
    out += (o.format == "gnu" ? o.source + ": " : std::string()) + TotalsLine(output) + "\n";
    return out;
}

}  // namespace

Command AddCompile(CLI::App& root) {
    CLI::App* app = AddCommand(root, Text);
    auto o = std::make_shared<Options>();
    app->add_option("FILE.ldr", o->source, "the ladder source")->required();
    app->add_option_function<std::string>(
           "--date", [o](const std::string& text) { o->date = ParseIsoDate(text); },
           "the date in the image header (default: today)")
        ->option_text("YYYY-MM-DD")
        ->check(CLI::Validator(
            [](std::string& text) { return ParseIsoDate(text) ? std::string() : "needs a date YYYY-MM-DD"; }, ""));
    CLI::Option* json = AddJsonFlag(*app, o->json,
                                    "the diagnostics (key, severity, text, block,\n"
                                    "label, row, y, column) and the totals as JSON");
    app->add_option("--format", o->format,
                    "text: as the error list names the cell (ETQ02 Y4 X3);\n"
                    "gnu: FILE:ROW:COL: error: TEXT (ROW 1..96)")
        ->option_text("text|gnu")
        ->check(CLI::Validator(
            [](std::string& text) { return text == "text" || text == "gnu" ? std::string() : "needs text or gnu"; },
            ""))
        ->excludes(json);
    return {app, [o] {
                const SourceCompilation compiled = CompileSource(o->source, SourceOutputs::Beside, o->date);
                if (const Result refusal = compiled.Refusal(); !refusal) {
                    std::fputs(ErrorLine(o->source, refusal.message, refusal.detail).c_str(), stderr);
                    return ExitFailed;
                }
                const std::string report = Report(*o, compiled);
                std::fputs(report.c_str(), stdout);
                if (const Result& files = compiled.run.files; !files)
                    std::fputs(ErrorLine(o->source, files.message, files.detail).c_str(), stderr);
                if (std::fflush(stdout) != 0) return ExitFailed;
                return compiled.succeeded() ? ExitDone : ExitFailed;
            }};
}

}  // namespace velmorin::cli
