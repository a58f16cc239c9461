#include "machine_recorder.h"

#include <optional>

#include "scan_error.h"

namespace tavrix {

namespace {

// The class of "Select * from <Class>"; throws for a query a machine file cannot answer.
std::string queriedClass(std::string_view query) {
    constexpr std::string_view prefix = "select * from ";
    if (query.size() <= prefix.size() || !equalsIgnoringCase(query.substr(0, prefix.size()), prefix)) {
        throw ScanError("cannot record the query \"" + std::string(query) + "\" in a machine file");
    }
    return std::string(query.substr(prefix.size()));
}

class RecordingRow : public ManagementRow {
public:
    RecordingRow(const ManagementRow& row, PropertyRow& record) : row_(row), record_(record) {}

    ProviderValue readProperty(std::string_view name) const override {
        ProviderValue value = row_.readProperty(name);
        if (!isAbsent(value) && isAbsent(record_.readProperty(name))) record_.set(std::string(name), value);
        return value;
    }

private:
    const ManagementRow& row_;
    PropertyRow& record_;
};

class RecordingResultSet : public ManagementResultSet {
public:
    RecordingResultSet(std::unique_ptr<ManagementResultSet> rows, std::string className,
                       std::shared_ptr<std::deque<PropertyRow>> recorded)
        : rows_(std::move(rows)), className_(std::move(className)), recorded_(std::move(recorded)) {}

    const ManagementRow* next() override {
        const ManagementRow* row = rows_ ? rows_->next() : nullptr;
        if (row == nullptr) return nullptr;
        current_.emplace(*row, recorded_->emplace_back(className_));
        return &*current_;
    }

private:
    std::unique_ptr<ManagementResultSet> rows_;
    std::string className_;
    std::shared_ptr<std::deque<PropertyRow>> recorded_;
    std::optional<RecordingRow> current_;
};

class RecordingConnection : public ManagementConnection {
public:
    RecordingConnection(std::unique_ptr<ManagementConnection> connection,
                        std::shared_ptr<std::deque<PropertyRow>> recorded)
        : connection_(std::move(connection)), recorded_(std::move(recorded)) {}

    std::unique_ptr<ManagementResultSet> ExecQuery(std::string_view query) override {
        std::string className = queriedClass(query);
        return std::make_unique<RecordingResultSet>(connection_->ExecQuery(query), std::move(className), recorded_);
    }

private:
    std::unique_ptr<ManagementConnection> connection_;
    std::shared_ptr<std::deque<PropertyRow>> recorded_;
};

}  // namespace

MachineRecorder::MachineRecorder(ManagementProvider& provider)
    : provider_(provider), rows_(std::make_shared<std::deque<PropertyRow>>()) {}

MachineRecorder::~MachineRecorder() = default;

MachineDescription MachineRecorder::recorded() const {
    MachineDescription machine;
    for (const PropertyRow& row : *rows_) {
        PropertyRow& copy = machine.addRow(row.className());
        for (const auto& [name, value] : row.properties()) copy.set(name, value);
    }
    return machine;
}

std::unique_ptr<ManagementConnection> MachineRecorder::openConnection(const std::string& moniker) {
    return std::make_unique<RecordingConnection>(provider_.openConnection(moniker), rows_);
}

}  // namespace tavrix
