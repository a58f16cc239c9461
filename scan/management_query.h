#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "scan/provider_value.h"

namespace tavrix {

// The most rows of any class the scan reads, from any source: the window counts modules in a
// 16-bit signed number, and no computer has more rows of any class. A machine file holds no more
// either, so whatever one run saves, the next one reads.
inline constexpr std::size_t maximumClassRows = 32767;

// One row of a query's result. Property names match without regard to case.
class ManagementRow {
public:
    virtual ~ManagementRow() = default;
    // The property's value; Absent when the row has no such property. Throws ScanError on failure.
    virtual ProviderValue readProperty(std::string_view name) const = 0;
    // The property's name as the source spells it ("Capacity" when asked for "capacity"), for
    // messages; the name as asked when the source keeps no spelling of its own.
    virtual std::string propertyName(std::string_view name) const { return std::string(name); }
};

// The rows of one query, visited one at a time in the provider's order.
class ManagementResultSet {
public:
    virtual ~ManagementResultSet() = default;
    // The next row, valid until the next call or until the set is destroyed; nullptr after the last.
    virtual const ManagementRow* next() = 0;
};

// An open connection to a management namespace.
class ManagementConnection {
public:
    virtual ~ManagementConnection() = default;
    // Runs a query such as "Select * from Win32_Processor". Throws ScanError on failure.
    virtual std::unique_ptr<ManagementResultSet> ExecQuery(std::string_view query) = 0;
};

// Where rows come from: WMI, the SMBIOS tables, a machine file.
class ManagementProvider {
public:
    virtual ~ManagementProvider() = default;
    // Opens a connection for a moniker such as "winmgmts:{impersonationLevel=impersonate}!\\.\root\cimv2".
    // Throws ScanError when it cannot.
    virtual std::unique_ptr<ManagementConnection> openConnection(const std::string& moniker) = 0;
};

}  // namespace tavrix
