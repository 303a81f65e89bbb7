// The classes of the driver-interface library, answered from DriverLibrary.
#include "FakeDriverLibrary.h"

#include "TavroApi.h"
#include "TavroApiLimits.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace fake {

namespace {

const int kNoItem = -1;

struct Binding {
    int item = kNoItem;
};

Binding& Of(void* impl) { return *static_cast<Binding*>(impl); }

void Keep(const std::string& call) {
    DriverLibrary& library = DriverLibrary::Get();
    if (library.keepRecords) {
        library.calls.push_back(call);
        library.methodsCalled.insert(call.substr(0, call.find('(')));
    }
    if (library.onCall) library.onCall(call);
}

// Records the call that `text` spells out and runs the hook; with the records
// off and no hook, nothing is spelled out.
template <class Text>
inline void Record(Text text) {
    const DriverLibrary& library = DriverLibrary::Get();
    if (library.keepRecords || library.onCall) Keep(text());
}

bool FailsNow(const char* method) {
    DriverLibrary& library = DriverLibrary::Get();
    auto it = library.failing.find(method);
    if (it == library.failing.end() || it->second == 0) return false;
    --it->second;
    library.methodsFailed.insert(method);
    return true;
}

// Whether an injected failure applies to this call of `method`.
inline bool Fails(const char* method) { return !DriverLibrary::Get().failing.empty() && FailsNow(method); }

std::string Call(const char* name, int item) { return std::string(name) + "(" + std::to_string(item) + ")"; }

FakeAdapter* ItemAt(int item) {
    auto& items = DriverLibrary::Get().items;
    return item >= 0 && item < static_cast<int>(items.size()) ? &items[item] : nullptr;
}

long Query(void* impl, const char* name, unsigned long FakeAdapter::*field, unsigned long* out) {
    const int item = Of(impl).item;
    Record([&] { return Call(name, item); });
    FakeAdapter* adapter = ItemAt(item);
    if (Fails(name) || !adapter || adapter->failingQueries.count(name)) return 1;
    *out = adapter->*field;
    return 0;
}

long SwitchRadio(const char* caller, int item, unsigned long on) {
    Record([&] {
        return std::string(caller) + "::SetRadioState(" + std::to_string(item) + "," + std::to_string(on) + ")";
    });
    FakeAdapter* adapter = ItemAt(item);
    if (Fails((std::string(caller) + "::SetRadioState").c_str()) || !adapter) return 1;
    adapter->radio = on ? (adapter->radio | 1UL) : (adapter->radio & ~1UL);
    return 0;
}

}  // namespace

DriverLibrary DriverLibrary::instance;

void DriverLibrary::Reset() {
    keepRecords = true;
    items.clear();
    calls.clear();
    failing.clear();
    methodsCalled.clear();
    methodsFailed.clear();
    onCall = nullptr;
}

FakeAdapter& DriverLibrary::Add(const std::string& description) {
    FakeAdapter adapter;
    adapter.description = description;
    char id[48];
    std::snprintf(id, sizeof id, "{5A3C0D1E-0000-4000-8000-%012zu}", items.size());
    adapter.id = id;
    items.push_back(adapter);
    return items.back();
}

void DriverLibrary::FailCall(const std::string& method, int times) { failing[method] = times; }

void DriverLibrary::AddUnusable(int count) {
    for (int i = 0; i < count; ++i) Add("Ethernet Adapter").attachOk = false;
}

int DriverLibrary::CountCalls(const std::string& prefix) const {
    int count = 0;
    for (const std::string& call : calls) count += call.rfind(prefix, 0) == 0;
    return count;
}

}  // namespace fake

using fake::Binding;

CWrapNetAdapter::CWrapNetAdapter() : m_impl(new Binding) {}
CWrapNetAdapter::~CWrapNetAdapter() { delete static_cast<Binding*>(m_impl); }

long CWrapNetAdapter::GetVendorDescription(char* description) {
    const int item = fake::Of(m_impl).item;
    fake::Record([&] { return fake::Call("GetVendorDescription", item); });
    fake::FakeAdapter* adapter = fake::ItemAt(item);
    if (fake::Fails("GetVendorDescription") || !adapter) return 1;
    std::strncpy(description, adapter->description.c_str(), 127);
    description[127] = 0;
    return 0;
}

long CWrapNetAdapter::GetAdapterID(char* adapterId) {
    const int item = fake::Of(m_impl).item;
    fake::Record([&] { return fake::Call("GetAdapterID", item); });
    fake::FakeAdapter* adapter = fake::ItemAt(item);
    if (fake::Fails("GetAdapterID") || !adapter) return 1;
    // At most the TAVROAPI_ADAPTER_ID_BYTES of the buffer: an identifier that long arrives unterminated.
    std::memcpy(adapterId, adapter->id.c_str(), std::min<size_t>(adapter->id.size() + 1, TAVROAPI_ADAPTER_ID_BYTES));
    return 0;
}

long CWrapNetAdapter::SetRadioState(long on) {
    return fake::SwitchRadio("CWrapNetAdapter", fake::Of(m_impl).item, static_cast<unsigned long>(on));
}

CWrapNetAdapters::CWrapNetAdapters() : m_impl(nullptr) {}
CWrapNetAdapters::~CWrapNetAdapters() {}

long CWrapNetAdapters::Refresh() {
    fake::Record([] { return std::string("Refresh()"); });
    return fake::Fails("Refresh") ? 1 : 0;
}

long CWrapNetAdapters::Item(int index, CWrapNetAdapter* adapter) {
    fake::Record([&] { return fake::Call("Item", index); });
    if (fake::Fails("Item") || !fake::ItemAt(index)) return 1;
    fake::Of(adapter->m_impl).item = index;
    return 0;
}

CWrapDriverInterface::CWrapDriverInterface() : m_impl(new Binding) {}
CWrapDriverInterface::~CWrapDriverInterface() { delete static_cast<Binding*>(m_impl); }

long CWrapDriverInterface::Attach(CWrapNetAdapter* adapter) {
    const int item = fake::Of(adapter->m_impl).item;
    fake::Record([&] { return fake::Call("Attach", item); });
    fake::FakeAdapter* found = fake::ItemAt(item);
    if (fake::Fails("Attach") || !found || !found->attachOk) return 1;
    fake::Of(m_impl).item = item;
    return 0;
}

using fake::FakeAdapter;

long CWrapDriverInterface::GetRadioState(unsigned long* v) {
    return fake::Query(m_impl, "GetRadioState", &FakeAdapter::radio, v);
}
long CWrapDriverInterface::GetNetworkType(unsigned long* v) {
    return fake::Query(m_impl, "GetNetworkType", &FakeAdapter::networkType, v);
}
long CWrapDriverInterface::GetAdapterState(unsigned long* v) {
    return fake::Query(m_impl, "GetAdapterState", &FakeAdapter::adapterState, v);
}
long CWrapDriverInterface::GetLinkQuality(unsigned long* v) {
    return fake::Query(m_impl, "GetLinkQuality", &FakeAdapter::linkQuality, v);
}
long CWrapDriverInterface::GetDot11Rate(unsigned long* v) {
    return fake::Query(m_impl, "GetDot11Rate", &FakeAdapter::rate, v);
}
long CWrapDriverInterface::GetWEPPacketRxOK(unsigned long* v) {
    return fake::Query(m_impl, "GetWEPPacketRxOK", &FakeAdapter::wepPacketRxOk, v);
}
long CWrapDriverInterface::GetDot11NetworkTypeInUse(unsigned long* v) {
    return fake::Query(m_impl, "GetDot11NetworkTypeInUse", &FakeAdapter::networkTypeInUse, v);
}
long CWrapDriverInterface::GetGenDriverVersion(unsigned long* v) {
    return fake::Query(m_impl, "GetGenDriverVersion", &FakeAdapter::driverVersion, v);
}
long CWrapDriverInterface::SetRadioState(unsigned long on) {
    return fake::SwitchRadio("CWrapDriverInterface", fake::Of(m_impl).item, on);
}
