#include "scan/machine_recorder.h"

#include <optional>

#include "scan/hardware_scan.h"
#include "scan/scan_error.h"

namespace tavrix {

namespace {

// The name as WMI spells it when the scan reads that property of the class, else as asked: a saved
// file says "Capacity" whichever way the scan or the source spells it.
std::string_view spelling(const ClassProperties* scanned, std::string_view name) {
    const std::string_view listed = scanned != nullptr ? scanned->spelling(name) : std::string_view();
    return listed.empty() ? name : listed;
}

class RecordingRow : public ManagementRow {
public:
    RecordingRow(const ManagementRow& row, PropertyRow& record, const ClassProperties* scanned)
        : row_(row), record_(record), scanned_(scanned) {}

    ProviderValue readProperty(std::string_view name) const override {
        ProviderValue value = row_.readProperty(name);
        if (!isAbsent(value) && isAbsent(record_.readProperty(name))) record_.set(spelling(scanned_, name), value);
        return value;
    }
    std::string propertyName(std::string_view name) const override { return row_.propertyName(name); }

private:
    const ManagementRow& row_;
    PropertyRow& record_;
    const ClassProperties* scanned_;
};

class RecordingResultSet : public ManagementResultSet {
public:
    RecordingResultSet(std::unique_ptr<ManagementResultSet> rows, std::string className,
                       std::shared_ptr<MachineDescription> recorded)
        : rows_(std::move(rows)),
          className_(std::move(className)),
          recorded_(std::move(recorded)),
          scanned_(findClass(scannedClasses(), className_)) {}

    const ManagementRow* next() override {
        const ManagementRow* row = rows_ ? rows_->next() : nullptr;
        if (row == nullptr) return nullptr;
        current_.emplace(*row, recorded_->addRow(className_), scanned_);
        return &*current_;
    }

private:
    std::unique_ptr<ManagementResultSet> rows_;
    std::string className_;
    std::shared_ptr<MachineDescription> recorded_;
    const ClassProperties* scanned_;
    std::optional<RecordingRow> current_;
};

class RecordingConnection : public ManagementConnection {
public:
    RecordingConnection(std::unique_ptr<ManagementConnection> connection,
                        std::shared_ptr<MachineDescription> recorded)
        : connection_(std::move(connection)), recorded_(std::move(recorded)) {}

    std::unique_ptr<ManagementResultSet> ExecQuery(std::string_view query) override {
        const auto className = queriedClass(query);
        if (!className) throw ScanError("cannot record the query \"" + std::string(query) + "\" in a machine file");
        return std::make_unique<RecordingResultSet>(connection_->ExecQuery(query), std::string(*className), recorded_);
    }

private:
    std::unique_ptr<ManagementConnection> connection_;
    std::shared_ptr<MachineDescription> recorded_;
};

}  // namespace

MachineRecorder::MachineRecorder(ManagementProvider& provider)
    : provider_(provider), recorded_(std::make_shared<MachineDescription>()) {}

MachineRecorder::~MachineRecorder() = default;

const MachineDescription& MachineRecorder::recorded() const { return *recorded_; }

std::unique_ptr<ManagementConnection> MachineRecorder::openConnection(const std::string& moniker) {
    return std::make_unique<RecordingConnection>(provider_.openConnection(moniker), recorded_);
}

}  // namespace tavrix
