#include "link/device_holders.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cstdio>
#include <memory>

namespace velmorin {
namespace {

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};
using Dir = std::unique_ptr<DIR, DirCloser>;

std::optional<pid_t> ProcessId(const char* name) {
    pid_t pid = 0;
    if (*name == '\0') return std::nullopt;
    for (const char* c = name; *c; ++c) {
        if (*c < '0' || *c > '9' || pid > 99999999) return std::nullopt;
        pid = pid * 10 + (*c - '0');
    }
    return pid;
}

bool HoldsDevice(const std::string& fdFolder, dev_t device) {
    const Dir dir(::opendir(fdFolder.c_str()));
    if (!dir) return false;
    while (const dirent* entry = ::readdir(dir.get())) {
        if (entry->d_name[0] == '.') continue;
        struct stat info {};
        // stat follows the descriptor's link to the open file itself.
        if (::stat((fdFolder + "/" + entry->d_name).c_str(), &info) != 0) continue;
        if ((S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode)) && info.st_rdev == device) return true;
    }
    return false;
}

std::string ProgramName(const std::string& processFolder) {
    char name[64] = {};
    if (FILE* comm = std::fopen((processFolder + "/comm").c_str(), "re")) {
        if (std::fgets(name, sizeof name, comm) == nullptr) name[0] = '\0';
        std::fclose(comm);
    }
    std::string text = name;
    if (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
}

}  // namespace

std::optional<DeviceHolder> FindOtherHolder(dev_t device, pid_t self, const std::string& procRoot) {
    const Dir proc(::opendir(procRoot.c_str()));
    if (!proc) return std::nullopt;
    while (const dirent* entry = ::readdir(proc.get())) {
        const std::optional<pid_t> pid = ProcessId(entry->d_name);
        if (!pid || *pid == self) continue;
        const std::string folder = procRoot + "/" + entry->d_name;
        if (HoldsDevice(folder + "/fd", device)) return DeviceHolder{*pid, ProgramName(folder)};
    }
    return std::nullopt;
}

}  // namespace velmorin
