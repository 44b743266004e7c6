// Saving and loading through real files: the old file must survive every failed save.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "model/messages.h"
#include "model/source_file.h"

namespace velmorin {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

Bytes ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteRaw(const fs::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

class SourceFileIo : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "velmorin-io-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir = pattern;
        ResetModel(model);
        LadderCell& cell = model.grid.at(1, 1);
        cell.shape = KindContactOpen;
        cell.element = ElementLd;
        cell.params[0][0] = 3;
    }
    void TearDown() override {
        std::error_code ec;
        fs::permissions(dir, fs::perms::owner_all, ec);
        fs::remove_all(dir, ec);
    }
    // Everything in the folder but the named files: leftovers of a save.
    std::vector<std::string> Leftovers(std::initializer_list<std::string> expected) const {
        std::vector<std::string> extra;
        for (const auto& entry : fs::directory_iterator(dir)) {
            const std::string name = entry.path().filename().string();
            if (std::find(expected.begin(), expected.end(), name) == expected.end()) extra.push_back(name);
        }
        return extra;
    }

    fs::path dir;
    ProgramModel model;
    const Bytes oldContent = {'o', 'l', 'd', 0, 1, 2, 3};
};

TEST_F(SourceFileIo, SaveThenOpenGivesTheSameProgram) {
    const fs::path path = dir / "a.ldr";
    ASSERT_TRUE(WriteSourceFile(model, path.string()).ok);
    EXPECT_EQ(ReadAll(path), EncodeSourceFile(model));
    EXPECT_TRUE(Leftovers({"a.ldr"}).empty());

    ProgramModel loaded;
    ResetModel(loaded);
    ASSERT_TRUE(ReadSourceFile(loaded, path.string()).ok);
    EXPECT_EQ(loaded.grid.at(1, 1).element, ElementLd);
    EXPECT_EQ(loaded.grid.at(1, 1).params[0][0], 3);
}

TEST_F(SourceFileIo, OverwriteKeepsPermissionsAndLinks) {
    const fs::path path = dir / "a.ldr";
    WriteRaw(path, oldContent);
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    const fs::path link = dir / "link.ldr";
    fs::create_symlink(path, link);

    ASSERT_TRUE(WriteSourceFile(model, link.string()).ok);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadAll(path), EncodeSourceFile(model));
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_TRUE(Leftovers({"a.ldr", "link.ldr"}).empty());
}

// How a save that ran in a child process ended.
enum class ChildSave { Refused, Saved, OtherMessage, NotPrepared, Lost };

// Runs `prepare` and then the save in a child, so that limits and dropped
// privileges stay out of the test runner. A refusal counts only with the
// detail line naming the file and `reason`.
template <typename Prepare>
ChildSave SaveInChild(const ProgramModel& model, const fs::path& path, const std::string& reason, Prepare prepare) {
    const pid_t child = ::fork();
    if (child < 0) return ChildSave::Lost;
    if (child == 0) {
        if (!prepare()) ::_exit(3);
        const Result r = WriteSourceFile(model, path.string());
        const bool refused = r.message == msg::FileOpenError && r.detail == path.string() + ": " + reason;
        ::_exit(r.ok ? 1 : refused ? 0 : 2);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return ChildSave::Lost;
    switch (WEXITSTATUS(status)) {
        case 0:
            return ChildSave::Refused;
        case 1:
            return ChildSave::Saved;
        case 2:
            return ChildSave::OtherMessage;
        case 3:
            return ChildSave::NotPrepared;
        default:
            return ChildSave::Lost;
    }
}

// Permissions do not stop root, and CI runs as root.
bool DropPrivileges() { return ::geteuid() != 0 || (::setgid(65534) == 0 && ::setuid(65534) == 0); }

TEST_F(SourceFileIo, FailedSavesLeaveTheOldFileIntact) {
    const fs::path path = dir / "a.ldr";
    const fs::perms readOnly = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
    const fs::perms listOnly = readOnly | fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec;
    struct Case {
        const char* name;
        fs::perms folder, file;
        const char* reason;
        bool (*prepare)();
    };
    const Case cases[] = {
        {"file size limit", fs::perms::owner_all, fs::perms::owner_read | fs::perms::owner_write,
         "Fichero demasiado grande",
         [] {
             std::signal(SIGXFSZ, SIG_IGN);
             const rlimit limit{100, 100};
             return ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
         }},
        {"read-only folder", listOnly, readOnly | fs::perms::owner_write, "Permiso denegado", DropPrivileges},
        // The folder lets anyone create and rename files; only the file says no.
        {"read-only file in a writable folder", fs::perms::all, readOnly, "Permiso denegado", DropPrivileges},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(path);
        WriteRaw(path, oldContent);
        fs::permissions(path, c.file);
        fs::permissions(dir, c.folder);
        EXPECT_EQ(SaveInChild(model, path, c.reason, c.prepare), ChildSave::Refused);
        fs::permissions(dir, fs::perms::owner_all);
        EXPECT_EQ(ReadAll(path), oldContent);
        EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, c.file);
        EXPECT_TRUE(Leftovers({"a.ldr"}).empty());
    }
}

// A save killed before its rename leaves its temporary file behind. The next
// save of the same target removes those of processes that are gone, and
// leaves alone those of live processes, of other targets and other files.
TEST_F(SourceFileIo, TemporaryFilesOfKilledSavesAreRemovedByTheNextSave) {
    const pid_t gone = ::fork();
    if (gone == 0) ::_exit(0);
    ASSERT_GT(gone, 0);
    ASSERT_EQ(::waitpid(gone, nullptr, 0), gone);
    const std::string dead = std::to_string(gone);
    const std::string live = std::to_string(::getppid());
    const std::vector<std::string> kept = {".a.ldr." + live + ".0badf00d", ".b.ldr." + dead + ".0badf00d",
                                           ".a.ldr." + dead + ".notours", "a.ldr." + dead + ".0badf00d"};
    for (const std::string& name : kept) WriteRaw(dir / name, oldContent);
    WriteRaw(dir / (".a.ldr." + dead + ".0badf00d"), oldContent);
    WriteRaw(dir / (".a.ldr." + dead + ".12345678"), oldContent);

    ASSERT_TRUE(WriteSourceFile(model, (dir / "a.ldr").string()).ok);
    std::vector<std::string> left = Leftovers({"a.ldr"});
    std::sort(left.begin(), left.end());
    std::vector<std::string> expected = kept;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(left, expected);
}

TEST_F(SourceFileIo, UnwritablePlacesAreRefused) {
    const fs::path notFolder = dir / "plain";
    WriteRaw(notFolder, oldContent);
    const fs::path folder = dir / "folder.ldr";
    fs::create_directory(folder);
    const struct {
        fs::path target;
        const char* reason;
    } cases[] = {
        {notFolder / "a.ldr", "No es un directorio"},
        {folder, "Es un directorio"},
        {dir / "missing" / "a.ldr", "No existe el fichero o el directorio"},
        {fs::path(), "No existe el fichero o el directorio"},
    };
    for (const auto& c : cases) {
        const Result r = WriteSourceFile(model, c.target.string());
        EXPECT_EQ(r.message, msg::FileOpenError) << c.target;
        EXPECT_EQ(r.detail, c.target.string() + ": " + c.reason);
    }
    EXPECT_EQ(ReadAll(notFolder), oldContent);
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_TRUE(Leftovers({"plain", "folder.ldr"}).empty());
}

TEST_F(SourceFileIo, OpenFailures) {
    ProgramModel loaded;
    ResetModel(loaded);
    EXPECT_EQ(ReadSourceFile(loaded, (dir / "none.ldr").string()).message, msg::FileOpenError);
    EXPECT_EQ(ReadSourceFile(loaded, dir.string()).message, msg::FileOpenError);
    WriteRaw(dir / "text.ldr", {'h', 'e', 'l', 'l', 'o', '\n'});
    EXPECT_EQ(ReadSourceFile(loaded, (dir / "text.ldr").string()).message, msg::NotSourceFile);
}

}  // namespace
}  // namespace velmorin
