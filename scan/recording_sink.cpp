#include "scan/recording_sink.h"

namespace tavrix {

void RecordingSink::clearList(ModuleList list) { rows_[static_cast<std::size_t>(list)].clear(); }

void RecordingSink::appendRow(ModuleList list, const std::string& row) {
    rows_[static_cast<std::size_t>(list)].push_back(row);
}

void RecordingSink::setCaption(ValueLabel label, const std::string& caption) {
    captions_[static_cast<std::size_t>(label)] = caption;
}

void RecordingSink::navigate(const std::string& address) { navigations_.push_back(address); }

const std::string& RecordingSink::caption(ValueLabel label) const { return captions_[static_cast<std::size_t>(label)]; }

const std::vector<std::string>& RecordingSink::rows(ModuleList list) const {
    return rows_[static_cast<std::size_t>(list)];
}

std::string RecordingSink::windowText() const {
    std::string text;
    for (int i = 0; i < valueLabelCount; ++i) {
        const auto label = static_cast<ValueLabel>(i);
        text.append(controlName(label)).append("=").append(caption(label)).append("\n");
    }
    for (const auto list : {ModuleList::slotsLst, ModuleList::memoryLst, ModuleList::speedLst}) {
        for (const auto& row : rows(list)) text.append(controlName(list)).append("=").append(row).append("\n");
    }
    return text;
}

}  // namespace tavrix
