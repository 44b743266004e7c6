// velmorin-cli dump FILE.bld: an image read as the send dialog reads it and
// listed instruction by instruction, as text or as JSON.
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <memory>
#include <string>

#include "commands.h"
#include "compiler/image_dump.h"
#include "compiler/instruction_set.h"
#include "compiler/program_image.h"
#include "model/operand_areas.h"

namespace velmorin::cli {
namespace {

using nlohmann::json;

const CommandText Text{
    "dump",
    "FILE.bld",
    "list a binary image instruction by instruction",
    "dump FILE.bld [--json]",
    "Lists a binary image: offset, bytes, mnemonic and operands (memory\n"
    "names, times in seconds, jumps as code addresses).",
};

struct Options {
    std::string path;
    bool json = false;
};

json OperandJson(const Operand& op) {
    switch (op.kind) {
        case ParamKind::Variable: {
            const int32_t index = (op.value + op.base) & 0xFF;
            std::string name = FormatOperandName(VariableAreas, index);
            for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            return {{"kind", "variable"}, {"index", index}, {"name", name.empty() ? json(nullptr) : json(name)}};
        }
        case ParamKind::Label:
            return {{"kind", "label"}, {"address", op.value}};
        case ParamKind::Time10:
            return {{"kind", "time"}, {"value", op.value}, {"seconds", op.value / 10.0}};
        case ParamKind::Time100:
            return {{"kind", "time"}, {"value", op.value}, {"seconds", op.value / 100.0}};
        default:
            return {{"kind", "number"}, {"value", op.value}};
    }
}

// The instructions of a final image as data; an unknown opcode ends them.
std::string ImageJson(const std::string& path, const CodeImage& image) {
    json instructions = json::array();
    json unknown = nullptr;
    const int32_t end = std::clamp(image.codeLength, 0, ImageSize);
    for (int32_t offset = 0; offset < end;) {
        const uint8_t opcode = image.bytes[offset];
        const int32_t element = ElementForOpcode(opcode, offset + 1 < end ? image.bytes[offset + 1] : -1);
        if (element < 0) {
            unknown = {{"offset", offset}, {"opcode", opcode}};
            break;
        }
        const Instruction ins = DecodeAt(image.bytes.data(), offset, end, element);
        json bytes = json::array();
        for (int32_t at = offset; at < offset + ins.length && at < end; ++at) bytes.push_back(image.bytes[at]);
        json operands = json::array();
        for (int32_t n = 0; n < ins.operandCount; ++n) operands.push_back(OperandJson(ins.operands[n]));
        instructions.push_back({{"offset", offset},
                                {"bytes", bytes},
                                {"mnemonic", CatalogueEntryFor(element).mnemonic},
                                {"operands", operands},
                                {"complete", ins.complete}});
        offset += ins.length;
    }
    const json out{{"file", path}, {"length", image.codeLength}, {"instructions", instructions}, {"unknown", unknown}};
    return out.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

}  // namespace

Command AddDump(CLI::App& root) {
    CLI::App* app = AddCommand(root, Text);
    auto o = std::make_shared<Options>();
    app->add_option("FILE.bld", o->path, "the binary image")->required();
    AddJsonFlag(*app, o->json,
                "the instructions (offset, bytes, mnemonic, operands)\n"
                "as JSON; an unknown opcode ends them");
    return {app, [o] {
                auto image = std::make_unique<CodeImage>();
                if (Result read = ReadImageFile(o->path, *image); !read) {
                    std::fputs(ErrorLine(o->path, read.message, read.detail).c_str(), stderr);
                    return ExitFailed;
                }
                const std::string text = o->json ? ImageJson(o->path, *image) : DumpImage(*image);
                if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0)
                    return ExitFailed;
                return ExitDone;
            }};
}

}  // namespace velmorin::cli
