// Exports.cpp - the library's three published classes over the Native Wifi API.
//
// The collection's m_impl holds the interfaces as last enumerated; an adapter
// object's m_impl the interface it stands for (its GUID and description); a
// driver interface's m_impl the GUID it is attached to. Every object shares
// the process's one WLAN client handle.
#include "TavroApi.h"

#include "WlanMapping.h"

#include <new>

using namespace tavrowlan;

namespace {

// The WLAN calls stay null until the first need loads wlanapi.dll; the conversions are kernel32's.
WlanEntryPoints EmptyTable() {
    WlanEntryPoints table = {};
    table.WideCharToMultiByte = &WideCharToMultiByte;
    table.MultiByteToWideChar = &MultiByteToWideChar;
    return table;
}

WlanEntryPoints wlanApi = EmptyTable();
WlanSession session(&wlanApi, LoadWlanApi, UnloadWlanApi);

// The library is built without exceptions, like the program that loads it:
// what would have thrown (memory running out) ends the process instead.
template <typename Body>
long Guarded(Body body) {
    return body();
}

// One query of the driver an interface object is attached to.
long DriverValue(void* impl, unsigned long* out, long (*read)(WlanSession&, const GUID&, unsigned long*)) {
    return Guarded([&]() -> long {
        DriverBinding* binding = static_cast<DriverBinding*>(impl);
        if (!out) return BadArgument;
        if (!binding || !binding->bound) return NotBound;
        return read(session, binding->guid, out);
    });
}

long SetRadio(bool bound, const GUID& guid, unsigned long on) {
    return Guarded([&]() -> long { return bound ? SetSoftwareRadio(session, guid, on) : NotBound; });
}

}  // namespace

WlanSession& tavrowlan::ProcessSession() { return session; }

// ---- CWrapNetAdapter: one WLAN interface ------------------------------------

CWrapNetAdapter::CWrapNetAdapter() : m_impl(new (std::nothrow) AdapterBinding) { session.Acquire(); }

CWrapNetAdapter::~CWrapNetAdapter() {
    delete static_cast<AdapterBinding*>(m_impl);
    session.Release();
}

long CWrapNetAdapter::GetVendorDescription(char* description) {
    return Guarded([&]() -> long {
        AdapterBinding* binding = static_cast<AdapterBinding*>(m_impl);
        if (!description) return BadArgument;
        description[0] = 0;
        if (!binding || !binding->bound) return NotBound;
        return DescribeInterface(session.Api(), binding->entry.description, description, kDescriptionBytes);
    });
}

long CWrapNetAdapter::GetAdapterID(char* adapterId) {
    AdapterBinding* binding = static_cast<AdapterBinding*>(m_impl);
    if (!adapterId) return BadArgument;
    adapterId[0] = 0;
    if (!binding || !binding->bound) return NotBound;
    FormatInterfaceId(binding->entry.guid, adapterId);
    return Ok;
}

long CWrapNetAdapter::SetRadioState(long on) {
    AdapterBinding* binding = static_cast<AdapterBinding*>(m_impl);
    const bool bound = binding && binding->bound;
    return SetRadio(bound, bound ? binding->entry.guid : GUID(), static_cast<unsigned long>(on));
}

// ---- CWrapNetAdapters: the WLAN interfaces of the machine --------------------

CWrapNetAdapters::CWrapNetAdapters() : m_impl(new (std::nothrow) Collection) { session.Acquire(); }

CWrapNetAdapters::~CWrapNetAdapters() {
    delete static_cast<Collection*>(m_impl);
    session.Release();
}

long CWrapNetAdapters::Refresh() {
    return Guarded([&]() -> long {
        Collection* collection = static_cast<Collection*>(m_impl);
        if (!collection) return Internal;
        return RefreshCollection(session, collection);
    });
}

long CWrapNetAdapters::Item(int index, CWrapNetAdapter* adapter) {
    return Guarded([&]() -> long {
        Collection* collection = static_cast<Collection*>(m_impl);
        if (!adapter) return BadArgument;
        AdapterBinding* binding = static_cast<AdapterBinding*>(adapter->m_impl);
        if (!collection || !binding) return Internal;
        return SelectItem(session, collection, index, binding);
    });
}

// ---- CWrapDriverInterface: the driver of one WLAN interface ------------------

CWrapDriverInterface::CWrapDriverInterface() : m_impl(new (std::nothrow) DriverBinding) { session.Acquire(); }

CWrapDriverInterface::~CWrapDriverInterface() {
    delete static_cast<DriverBinding*>(m_impl);
    session.Release();
}

long CWrapDriverInterface::Attach(CWrapNetAdapter* adapter) {
    return Guarded([&]() -> long {
        DriverBinding* self = static_cast<DriverBinding*>(m_impl);
        if (!self) return Internal;
        self->bound = false;
        if (!adapter) return BadArgument;
        AdapterBinding* target = static_cast<AdapterBinding*>(adapter->m_impl);
        if (!target) return NotBound;
        return AttachDriver(session, target, self);
    });
}

long CWrapDriverInterface::GetRadioState(unsigned long* state) { return DriverValue(m_impl, state, ReadRadioState); }

long CWrapDriverInterface::GetNetworkType(unsigned long* type) { return DriverValue(m_impl, type, ReadNetworkType); }

long CWrapDriverInterface::GetAdapterState(unsigned long* state) {
    return DriverValue(m_impl, state, ReadAdapterState);
}

long CWrapDriverInterface::GetLinkQuality(unsigned long* quality) {
    return DriverValue(m_impl, quality, ReadLinkQuality);
}

long CWrapDriverInterface::GetDot11Rate(unsigned long* rate) { return DriverValue(m_impl, rate, ReadDot11Rate); }

long CWrapDriverInterface::GetWEPPacketRxOK(unsigned long* count) { return DriverValue(m_impl, count, ReadRxFrames); }

long CWrapDriverInterface::GetDot11NetworkTypeInUse(unsigned long* type) {
    return DriverValue(m_impl, type, ReadNetworkTypeInUse);
}

long CWrapDriverInterface::GetGenDriverVersion(unsigned long* version) {
    return Guarded([&]() -> long {
        DriverBinding* binding = static_cast<DriverBinding*>(m_impl);
        if (!version) return BadArgument;
        if (!binding || !binding->bound) return NotBound;
        return ReadDriverVersion(session, version);
    });
}

long CWrapDriverInterface::SetRadioState(unsigned long on) {
    DriverBinding* binding = static_cast<DriverBinding*>(m_impl);
    const bool bound = binding && binding->bound;
    return SetRadio(bound, bound ? binding->guid : GUID(), on);
}
