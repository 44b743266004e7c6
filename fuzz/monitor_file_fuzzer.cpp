// The monitor-set reader over any bytes: it refuses with one of its
// messages, or what it accepted shows, polls and saves within the image and
// the lists, and reads back the same.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>
#include <string>

#include "link/monitor_file.h"
#include "model/messages.h"

namespace {

using namespace velmorin;

bool IsReaderMessage(const std::string& m) {
    return m == msg::NotMonitorFile || m == msg::IncompatibleVersion || m == msg::FileCorrupt;
}

const MonitorNameTable& StandardNames() {
    static const MonitorNameTable names = [] {
        auto model = std::make_unique<ProgramModel>();
        ResetModel(*model);
        return model->monitorNames;
    }();
    return names;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const MonitorNameTable& names = StandardNames();
    MonitorFileContents contents;
    const Result read = DecodeMonitorFile(std::span<const uint8_t>(data, size), names, contents);
    if (!read) {
        if (!IsReaderMessage(read.message)) std::abort();
        return 0;
    }
    if (contents.programPath.size() >= MonitorPathBytes) std::abort();

    MonitorImage image;
    image.Assign(contents.image);
    const int items = VariableItemCount(names);
    for (const MonitorMap& map : contents.set) {
        for (const RowView& view : ShowMap(map, image))
            if (view.item < 0 || view.item >= items) std::abort();
        const VariablePollPlan poll = PlanVariablePoll(map);
        for (const int32_t address : poll.plan.firstCycle)
            if (address < 0 || address > HighestPollAddress) std::abort();
        const std::array<std::string, MonitorRowsPerMap> fields{};
        for (const SendRow& row : PlanSendValues(map, fields).rows)
            if (row.address < 0 || row.address > HighestPollAddress) std::abort();
    }

    const std::vector<uint8_t> saved = EncodeMonitorFile(contents.set, contents.image, contents.programPath);
    if (saved.size() != MonitorFileSize) std::abort();
    MonitorFileContents again;
    if (!DecodeMonitorFile(saved, names, again)) std::abort();
    if (again.set != contents.set || again.image != contents.image || again.programPath != contents.programPath)
        std::abort();
    return 0;
}
