#include "providers/windows/wmi_provider.h"

#include <windows.h>
#include <objbase.h>
#include <wbemdisp.h>

#include <optional>

#include "providers/windows/com_apartment.h"
#include "providers/windows/com_failure.h"
#include "providers/windows/com_pointer.h"
#include "providers/windows/com_text.h"
#include "providers/windows/variant_value.h"
#include "scan/scan_error.h"

namespace tavrix {

namespace {

std::string quoted(std::string_view text) {
    std::string result;
    result.reserve(text.size() + 2);
    result.append(1, '"').append(text).append(1, '"');
    return result;
}

class WmiRow : public ManagementRow {
public:
    explicit WmiRow(ComPointer<ISWbemPropertySet> properties) : properties_(std::move(properties)) {}

    ProviderValue readProperty(std::string_view name) const override {
        ComPointer<ISWbemProperty> property;
        const HRESULT found = properties_->Item(ComText(name).get(), 0, property.put());
        if (found == static_cast<HRESULT>(wbemErrNotFound)) return Absent{};
        checkResult(found, "ISWbemPropertySet::Item(" + quoted(name) + ")");
        VariantValue value;
        checkResult(property->get_Value(value.put()), "ISWbemProperty::get_Value of " + quoted(name));
        return value.toProviderValue(name);
    }

private:
    ComPointer<ISWbemPropertySet> properties_;
};

class WmiResultSet : public ManagementResultSet {
public:
    WmiResultSet(std::shared_ptr<ComApartment> apartment, ComPointer<IEnumVARIANT> rows, std::string query)
        : apartment_(std::move(apartment)), rows_(std::move(rows)), query_(std::move(query)) {}

    const ManagementRow* next() override {
        current_.reset();
        VariantValue item;
        ULONG fetched = 0;
        const HRESULT result = rows_->Next(1, item.put(), &fetched);
        checkResult(result, "IEnumVARIANT::Next for " + quoted(query_));
        if (result == S_FALSE || fetched == 0) return nullptr;
        const VARIANT& v = item.get();
        if (V_VT(&v) != VT_DISPATCH || V_DISPATCH(&v) == nullptr) {
            throw ManagementServiceError("a row of " + quoted(query_) + " is not an object");
        }
        ComPointer<ISWbemObject> object;
        checkResult(V_DISPATCH(&v)->QueryInterface(__uuidof(ISWbemObject), object.putVoid()),
                    "QueryInterface(ISWbemObject) on a row of " + quoted(query_));
        ComPointer<ISWbemPropertySet> properties;
        checkResult(object->get_Properties_(properties.put()),
                    "ISWbemObject::get_Properties_ on a row of " + quoted(query_));
        current_.emplace(std::move(properties));
        return &*current_;
    }

private:
    std::shared_ptr<ComApartment> apartment_;  // first, so that COM outlives every pointer below
    ComPointer<IEnumVARIANT> rows_;
    std::string query_;
    std::optional<WmiRow> current_;
};

class WmiConnection : public ManagementConnection {
public:
    WmiConnection(std::shared_ptr<ComApartment> apartment, ComPointer<ISWbemServices> services)
        : apartment_(std::move(apartment)), services_(std::move(services)) {}

    std::unique_ptr<ManagementResultSet> ExecQuery(std::string_view query) override {
        const std::string call = "ISWbemServices::ExecQuery(" + quoted(query) + ")";
        ComPointer<ISWbemObjectSet> objects;
        checkResult(services_->ExecQuery(ComText(query).get(), ComText("WQL").get(), wbemFlagReturnImmediately,
                                         nullptr, objects.put()),
                    call);
        ComPointer<IUnknown> enumerator;
        checkResult(objects->get__NewEnum(enumerator.put()), "ISWbemObjectSet::get__NewEnum for " + quoted(query));
        ComPointer<IEnumVARIANT> rows;
        checkResult(enumerator.queryInterface(rows), "QueryInterface(IEnumVARIANT) for " + quoted(query));
        return std::make_unique<WmiResultSet>(apartment_, std::move(rows), std::string(query));
    }

private:
    std::shared_ptr<ComApartment> apartment_;  // first, so that COM outlives services_
    ComPointer<ISWbemServices> services_;
};

}  // namespace

std::unique_ptr<ManagementConnection> WmiProvider::openConnection(const std::string& moniker) {
    auto apartment = std::make_shared<ComApartment>();
    ComPointer<ISWbemServices> services;
    checkResult(CoGetObject(utf16Of(moniker).c_str(), nullptr, __uuidof(ISWbemServices), services.putVoid()),
                "CoGetObject(" + quoted(moniker) + ")");
    return std::make_unique<WmiConnection>(std::move(apartment), std::move(services));
}

}  // namespace tavrix
