#include "model/source_file.h"

#include <cstring>
#include <optional>

#include "model/atomic_file.h"
#include "model/header_line.h"
#include "model/messages.h"

namespace velmorin {
namespace {

constexpr const char* Magic = "~VLM";
constexpr int32_t FormatVersion = 100;
constexpr int32_t FormatRevision = 2;
constexpr uint8_t SectionEnd = 0xFF;
constexpr uint8_t CodeNone = 0xFF;
constexpr uint8_t CodeDummy = 0xFE;
constexpr int32_t StoredColumns = 9;  // the right rail is rebuilt by the reset
constexpr int32_t MaxCellRecords = GridRows * StoredColumns;
constexpr size_t MaxHeaderLine = 510;
constexpr size_t MaxTextLength = SlotBytes - 1;
// A reader never consumes more than this, so a longer file need not be read whole.
constexpr size_t MaxUsefulBytes = 1u << 20;

bool IsTextKind(ParamKind kind) {
    return kind == ParamKind::Number || kind == ParamKind::Time10 || kind == ParamKind::Time100;
}

uint8_t ElementCode(int32_t element) {
    if (element >= 0 && element < ElementDummy) return static_cast<uint8_t>(element);
    if (element == ElementDummy) return CodeDummy;
    return CodeNone;
}

void AppendField(std::vector<uint8_t>& out, const NameField& field) {
    for (char c : field) out.push_back(static_cast<uint8_t>(c));
}

// The alias and the label sections: one record per used index, then the end mark.
template <typename Entry, size_t N>
void AppendNameSection(std::vector<uint8_t>& out, const std::array<Entry, N>& entries,
                       const std::array<bool, N>& used) {
    for (size_t index = 0; index < N; ++index) {
        if (!used[index]) continue;
        out.push_back(static_cast<uint8_t>(index));
        AppendField(out, entries[index].name);
        AppendField(out, entries[index].alias);
    }
    out.push_back(SectionEnd);
}

// Sequential reader over the file's bytes; running out is reported, never overrun.
class ByteCursor {
public:
    explicit ByteCursor(std::span<const uint8_t> bytes) : bytes_(bytes) {}
    bool AtEnd() const { return pos_ >= bytes_.size(); }
    std::optional<uint8_t> Next() {
        if (AtEnd()) return std::nullopt;
        return bytes_[pos_++];
    }
    bool Take(uint8_t* out, size_t n) {
        if (bytes_.size() - pos_ < n) return false;
        std::memcpy(out, bytes_.data() + pos_, n);
        pos_ += n;
        return true;
    }
    // The header line as a line reader with a 511-byte buffer sees it.
    std::string TakeHeaderLine() {
        HeaderLine line = ReadHeaderLine(bytes_.subspan(pos_), MaxHeaderLine);
        pos_ += line.consumed;
        return std::move(line.text);
    }

private:
    std::span<const uint8_t> bytes_;
    size_t pos_ = 0;
};

// Reads into a model, or with none only checks and passes over the cells.
class SourceReader {
public:
    SourceReader(ProgramModel* model, std::span<const uint8_t> bytes) : model_(model), in_(bytes) {}

    Result Read() {
        if (Result header = ReadHeader(); !header) return header;
        if (!ReadCells() || !ReadAliases() || !ReadLabels()) return Result::Fail(msg::FileCorrupt);
        return Result::Ok();
    }

    Result ReadAliasRecords(std::vector<SourceAlias>& aliases) {
        if (Result header = ReadHeader(); !header) return header;
        if (!ReadCells() || !ReadAliasRecordList(aliases)) return Result::Fail(msg::FileCorrupt);
        return Result::Ok();
    }

private:
    Result ReadHeader() {
        const std::string line = in_.TakeHeaderLine();
        if (!HasMagic(line, Magic)) return Result::Fail(msg::NotSourceFile);
        const std::optional<HeaderVersion> v = ParseHeaderVersion(line);
        if (!v || v->version > FormatVersion || v->revision > FormatRevision)
            return Result::Fail(msg::IncompatibleVersion);
        oldCodes_ = v->version == 100 && v->revision == 1;
        return Result::Ok();
    }

    // The first byte of a section's next record: nothing when the section ends
    // (its end mark, or the end of the file).
    std::optional<uint8_t> RecordStart() {
        const std::optional<uint8_t> b = in_.Next();
        if (!b || *b == SectionEnd) return std::nullopt;
        return b;
    }

    // After the most records a section can hold only its end may follow.
    bool SectionClosed() { return !RecordStart().has_value(); }

    // Revision 1 of version 100 numbered the placeholder and "no element" just
    // after its last element; later files use 0xFE and 0xFF.
    std::optional<int32_t> TranslateElement(uint8_t code) const {
        const uint8_t none = oldCodes_ ? 32 : CodeNone;
        const uint8_t dummy = oldCodes_ ? 31 : CodeDummy;
        if (code == none) return ElementNone;
        if (code == dummy) return ElementDummy;
        if (code > ElementDummy) return std::nullopt;
        return code;
    }

    bool ReadCells() {
        for (int32_t record = 0; record < MaxCellRecords; ++record) {
            const std::optional<uint8_t> row = RecordStart();
            if (!row) return true;
            uint8_t head[3];  // column, shape, element code
            if (!in_.Take(head, sizeof head)) return false;
            if (*row >= GridRows || head[0] >= GridColumns || head[1] > ShapeEmpty) return false;
            const std::optional<int32_t> element = TranslateElement(head[2]);
            if (!element) return false;

            LadderCell scratch;
            LadderCell& cell = model_ != nullptr ? model_->grid.at(*row, head[0]) : scratch;
            cell.shape = head[1];
            cell.element = *element;
            if (*element < ElementNone && !ReadParams(cell)) return false;
        }
        return SectionClosed();
    }

    bool ReadParams(LadderCell& cell) {
        const CatalogueEntry& entry = CatalogueEntryFor(cell.element);
        for (int32_t i = 0; i < entry.paramCount; ++i) {
            const ParamDef& def = entry.paramDefs[static_cast<size_t>(i)];
            ParamSlot& slot = cell.params[static_cast<size_t>(i)];
            if (def.kind == ParamKind::Label || def.kind == ParamKind::Variable) {
                const std::optional<uint8_t> index = in_.Next();
                if (!index) return false;
                if (def.kind == ParamKind::Label && *index != Unchosen && *index >= LabelCount) return false;
                slot[0] = *index;
                slot[1] = 0;
            } else if (IsTextKind(def.kind)) {
                const std::optional<uint8_t> length = in_.Next();
                if (!length || *length > MaxTextLength) return false;
                if (!in_.Take(slot.data(), *length)) return false;
                slot[*length] = 0;
            }
        }
        return true;
    }

    bool ReadNamePair(NameField& name, NameField& alias) {
        uint8_t bytes[2 * NameBytes];
        if (!in_.Take(bytes, sizeof bytes)) return false;
        std::memcpy(name.data(), bytes, NameBytes);
        std::memcpy(alias.data(), bytes + NameBytes, NameBytes);
        return true;
    }

    // The alias and the label sections: at most one record per entry, and
    // no index past the table.
    template <typename Entry, size_t N>
    bool ReadNameSection(std::array<Entry, N>& entries) {
        for (size_t record = 0; record < N; ++record) {
            const std::optional<uint8_t> index = RecordStart();
            if (!index) return true;
            if (*index >= N) return false;
            Entry& entry = entries[*index];
            if (!ReadNamePair(entry.name, entry.alias)) return false;
        }
        return SectionClosed();
    }

    bool ReadAliases() { return ReadNameSection(model_->aliases); }
    bool ReadLabels() { return ReadNameSection(model_->labels); }

    bool ReadAliasRecordList(std::vector<SourceAlias>& aliases) {
        for (int32_t record = 0; record < AliasCount; ++record) {
            const std::optional<uint8_t> index = RecordStart();
            if (!index) return true;
            SourceAlias& alias = aliases.emplace_back();
            alias.index = *index;
            if (!ReadNamePair(alias.name, alias.alias)) return false;
        }
        return SectionClosed();
    }

    ProgramModel* model_;
    ByteCursor in_;
    bool oldCodes_ = false;
};

}  // namespace

std::vector<uint8_t> EncodeSourceFile(const ProgramModel& model) {
    std::string header = FormatHeaderStart(Magic, FormatVersion, FormatRevision);
    header += '|' + std::to_string(GridRows) + ' ' + std::to_string(StoredColumns) + '\n';
    std::vector<uint8_t> out(header.begin(), header.end());

    std::array<bool, AliasCount> usedVariables{};
    std::array<bool, LabelCount> usedLabels{};
    for (int32_t row = 0; row < GridRows; ++row) {
        for (int32_t column = 0; column < StoredColumns; ++column) {
            const LadderCell& cell = model.grid.at(row, column);
            if (!cell.occupied()) continue;
            const uint8_t code = ElementCode(cell.element);
            out.insert(out.end(), {static_cast<uint8_t>(row), static_cast<uint8_t>(column),
                                   static_cast<uint8_t>(cell.shape), code});
            if (code == CodeNone) continue;
            const CatalogueEntry& entry = CatalogueEntryFor(cell.element);
            for (int32_t i = 0; i < entry.paramCount; ++i) {
                const ParamDef& def = entry.paramDefs[static_cast<size_t>(i)];
                const ParamSlot& slot = cell.params[static_cast<size_t>(i)];
                if (def.kind == ParamKind::Variable || def.kind == ParamKind::Label) {
                    const uint8_t index = slot[0];
                    out.push_back(index);
                    if (index == Unchosen) continue;
                    if (def.kind == ParamKind::Variable)
                        usedVariables[index] = true;
                    else if (index < LabelCount)
                        usedLabels[index] = true;
                } else if (IsTextKind(def.kind)) {
                    const std::string text = SlotText(slot).substr(0, MaxTextLength);
                    out.push_back(static_cast<uint8_t>(text.size()));
                    out.insert(out.end(), text.begin(), text.end());
                }
            }
        }
    }
    out.push_back(SectionEnd);
    AppendNameSection(out, model.aliases, usedVariables);
    AppendNameSection(out, model.labels, usedLabels);
    return out;
}

Result WriteSourceFile(const ProgramModel& model, const std::string& path) {
    return WriteFileAtomically(path, EncodeSourceFile(model));
}

Result ReadSourceBytes(ProgramModel& model, std::span<const uint8_t> bytes) {
    return SourceReader(&model, bytes).Read();
}

Result ReadSourceAliases(std::span<const uint8_t> bytes, std::vector<SourceAlias>& aliases) {
    aliases.clear();
    const Result result = SourceReader(nullptr, bytes).ReadAliasRecords(aliases);
    if (!result) aliases.clear();
    return result;
}

Result ReadSourceFile(ProgramModel& model, const std::string& path) {
    std::vector<uint8_t> bytes;
    if (Result read = ReadFileBytes(path, MaxUsefulBytes, bytes); !read) return read;
    Result loaded = ReadSourceBytes(model, bytes);
    if (!loaded) loaded.detail = path;
    return loaded;
}

}  // namespace velmorin
