// Whatever the bytes, the reader loads them or refuses them with one of its
// fixed messages; it never crashes nor writes outside the model.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "model/messages.h"
#include "model/source_file.h"

namespace velmorin {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

struct Example {
    std::string name;
    Bytes bytes;
};

std::vector<Example> Examples() {
    std::vector<Example> out;
    for (const auto& entry : fs::directory_iterator(fs::path(VELMORIN_SOURCE_DIR) / "examples")) {
        if (entry.path().extension() != ".ldr") continue;
        std::ifstream in(entry.path(), std::ios::binary);
        out.push_back({entry.path().filename().string(), Bytes(std::istreambuf_iterator<char>(in), {})});
    }
    std::sort(out.begin(), out.end(), [](const Example& a, const Example& b) { return a.name < b.name; });
    return out;
}

bool IsReaderMessage(const std::string& message) {
    return message == msg::NotSourceFile || message == msg::IncompatibleVersion || message == msg::FileCorrupt;
}

ProgramModel Reset() {
    ProgramModel model;
    ResetModel(model);
    return model;
}

// Loads into a reset model and checks the outcome. What loads must save and
// load again; the saved bytes settle after one round, since a save cannot
// keep a rail cell that the file had blanked out (the reset lays it again).
::testing::AssertionResult LoadsOrRefuses(const Bytes& bytes, Result* outcome = nullptr) {
    ProgramModel model = Reset();
    const Result r = ReadSourceBytes(model, bytes);
    if (outcome) *outcome = r;
    if (!r.ok) {
        if (IsReaderMessage(r.message)) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "unexpected message '" << r.message << "'";
    }
    Bytes saved = EncodeSourceFile(model);
    for (int round = 0; round < 2; ++round) {
        ProgramModel again = Reset();
        if (!ReadSourceBytes(again, saved).ok) return ::testing::AssertionFailure() << "own save refused";
        const Bytes next = EncodeSourceFile(again);
        if (round == 1 && next != saved) return ::testing::AssertionFailure() << "save not stable";
        saved = next;
    }
    return ::testing::AssertionSuccess();
}

TEST(BadInput, ExamplesAreThereAndLoadAsSaved) {
    const std::vector<Example> examples = Examples();
    ASSERT_GE(examples.size(), 3u);
    for (const Example& e : examples) {
        ProgramModel model = Reset();
        ASSERT_TRUE(ReadSourceBytes(model, e.bytes).ok) << e.name;
        EXPECT_EQ(EncodeSourceFile(model), e.bytes) << e.name;
    }
}

TEST(BadInput, EveryTruncationOfEveryExample) {
    for (const Example& e : Examples()) {
        size_t loaded = 0;
        for (size_t length = 0; length <= e.bytes.size(); ++length) {
            const Bytes cut(e.bytes.begin(), e.bytes.begin() + static_cast<long>(length));
            Result r;
            ASSERT_TRUE(LoadsOrRefuses(cut, &r)) << e.name << " cut at " << length;
            if (r.ok) ++loaded;
            if (length >= 19 && !r.ok) {
                EXPECT_EQ(r.message, msg::FileCorrupt) << e.name << " cut at " << length;
            }
        }
        // Every cut after a complete record loads: at least one per left-rail record.
        EXPECT_GT(loaded, 96u) << e.name;
    }
}

TEST(BadInput, SeededRandomCorruptions) {
    std::mt19937 random(20240611);
    size_t refused = 0, runs = 0;
    for (const Example& e : Examples()) {
        for (int round = 0; round < 1000; ++round, ++runs) {
            Bytes bytes = e.bytes;
            const int edits = 1 + static_cast<int>(random() % 4);
            for (int k = 0; k < edits; ++k) {
                const size_t at = random() % bytes.size();
                switch (random() % 4) {
                    case 0: bytes[at] = static_cast<uint8_t>(random()); break;
                    case 1: bytes[at] ^= static_cast<uint8_t>(1u << (random() % 8)); break;
                    case 2: bytes.insert(bytes.begin() + static_cast<long>(at), static_cast<uint8_t>(random())); break;
                    default:
                        if (bytes.size() > 1) bytes.erase(bytes.begin() + static_cast<long>(at));
                        break;
                }
            }
            Result r;
            ASSERT_TRUE(LoadsOrRefuses(bytes, &r)) << e.name << " round " << round;
            if (!r.ok) ++refused;
        }
    }
    // The corruptions must reach the checks, not only harmless bytes.
    EXPECT_GT(refused, runs / 10);
    EXPECT_LT(refused, runs);
}

}  // namespace
}  // namespace velmorin
