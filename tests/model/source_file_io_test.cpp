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

TEST_F(SourceFileIo, FileSizeLimitLeavesTheOldFileIntact) {
    const fs::path path = dir / "a.ldr";
    WriteRaw(path, oldContent);
    // The limit would also stop the test runner's own output, so the save runs in a child.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{100, 100};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(3);
        const Result r = WriteSourceFile(model, path.string());
        ::_exit(r.ok ? 1 : r.message == msg::FileOpenError ? 0 : 2);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(ReadAll(path), oldContent);
    EXPECT_TRUE(Leftovers({"a.ldr"}).empty());
}

TEST_F(SourceFileIo, ReadOnlyFolderLeavesTheOldFileIntact) {
    const fs::path path = dir / "a.ldr";
    WriteRaw(path, oldContent);
    fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                             fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                              fs::perms::others_read);
    // Permissions do not stop root, so the save runs in a child that gives up
    // its privileges first (CI runs as root).
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(3);
        const Result r = WriteSourceFile(model, path.string());
        ::_exit(r.ok ? 1 : r.message == msg::FileOpenError ? 0 : 2);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    fs::permissions(dir, fs::perms::owner_all);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(ReadAll(path), oldContent);
    EXPECT_TRUE(Leftovers({"a.ldr"}).empty());
}

TEST_F(SourceFileIo, ReadOnlyFileInAWritableFolderIsNotReplaced) {
    const fs::path path = dir / "a.ldr";
    WriteRaw(path, oldContent);
    // The folder lets anyone create and rename files; only the file says no.
    fs::permissions(dir, fs::perms::all);
    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(3);
        const Result r = WriteSourceFile(model, path.string());
        ::_exit(r.ok ? 1 : r.message == msg::FileOpenError ? 0 : 2);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(ReadAll(path), oldContent);
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_TRUE(Leftovers({"a.ldr"}).empty());
}

TEST_F(SourceFileIo, UnwritablePlacesAreRefused) {
    const fs::path notFolder = dir / "plain";
    WriteRaw(notFolder, oldContent);
    const fs::path folder = dir / "folder.ldr";
    fs::create_directory(folder);
    for (const fs::path& target : {notFolder / "a.ldr", folder, dir / "missing" / "a.ldr", fs::path()}) {
        const Result r = WriteSourceFile(model, target.string());
        EXPECT_EQ(r.message, msg::FileOpenError) << target;
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
