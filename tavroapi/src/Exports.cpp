// Exports.cpp - the library's three published classes, answered by the simulator.
//
// Each object's m_impl points at a Binding: the identifier of the adapter the
// object stands for, if any.
#include "TavroApi.h"
#include "TavroApiLimits.h"

#include "Simulator.h"

#include <cstring>
#include <new>

using tavro::AdapterView;
using tavro::Simulator;

namespace {

struct Binding {
    bool bound = false;
    std::string id;
};

Binding* BindingOf(void* impl) { return static_cast<Binding*>(impl); }

// The library is built without exceptions, like the program that loads it:
// what would have thrown (memory running out) ends the process instead.
template <typename Body>
long Guarded(Body body) {
    return body();
}

void CopyText(char* dest, const std::string& text, size_t capacity) {
    size_t n = text.size() < capacity - 1 ? text.size() : capacity - 1;
    std::memcpy(dest, text.data(), n);
    dest[n] = '\0';
}

// Reads one field of the adapter a driver interface is attached to.
long DriverValue(void* impl, tavro::Field field, unsigned long* out) {
    return Guarded([&]() -> long {
        Binding* b = BindingOf(impl);
        if (!out) return tavro::ErrBadArgument;
        if (!b || !b->bound) return tavro::ErrNotBound;
        AdapterView v;
        long r = Simulator::Instance().View(b->id, v);
        if (r == tavro::Ok) *out = v.values[field];
        return r;
    });
}

// Reads the description or identifier of the adapter an adapter object stands for.
long AdapterText(void* impl, char* out, size_t capacity, bool wantId) {
    return Guarded([&]() -> long {
        Binding* b = BindingOf(impl);
        if (!out) return tavro::ErrBadArgument;
        out[0] = '\0';
        if (!b || !b->bound) return tavro::ErrNotBound;
        AdapterView v;
        long r = Simulator::Instance().View(b->id, v);
        if (r == tavro::Ok) CopyText(out, wantId ? v.id : v.description, capacity);
        return r;
    });
}

}  // namespace

// ---- CWrapNetAdapter: one adapter of the collection -------------------------

CWrapNetAdapter::CWrapNetAdapter() : m_impl(new (std::nothrow) Binding) {}

CWrapNetAdapter::~CWrapNetAdapter() { delete BindingOf(m_impl); }

long CWrapNetAdapter::GetVendorDescription(char* description) {
    return AdapterText(m_impl, description, TAVROAPI_DESCRIPTION_BYTES, false);
}

long CWrapNetAdapter::GetAdapterID(char* adapterId) {
    return AdapterText(m_impl, adapterId, TAVROAPI_ADAPTER_ID_BYTES, true);
}

long CWrapNetAdapter::SetRadioState(long on) {
    return Guarded([&]() -> long {
        Binding* b = BindingOf(m_impl);
        bool bound = b && b->bound;
        return Simulator::Instance().SetRadio(bound ? b->id : std::string(), bound, on, "CWrapNetAdapter");
    });
}

// ---- CWrapNetAdapters: the collection of installed adapters ------------------

CWrapNetAdapters::CWrapNetAdapters() : m_impl(nullptr) {}

CWrapNetAdapters::~CWrapNetAdapters() {}

long CWrapNetAdapters::Refresh() {
    return Guarded([&]() -> long { return Simulator::Instance().Refresh(); });
}

long CWrapNetAdapters::Item(int index, CWrapNetAdapter* adapter) {
    return Guarded([&]() -> long {
        if (!adapter) return tavro::ErrBadArgument;
        Binding* b = BindingOf(adapter->m_impl);
        if (!b) return tavro::ErrInternal;
        b->bound = false;
        b->id.clear();
        std::string id;
        long r = Simulator::Instance().ItemId(index, id);
        if (r != tavro::Ok) return r;
        b->id = id;
        b->bound = true;
        return tavro::Ok;
    });
}

// ---- CWrapDriverInterface: the driver of one adapter -------------------------

CWrapDriverInterface::CWrapDriverInterface() : m_impl(new (std::nothrow) Binding) {}

CWrapDriverInterface::~CWrapDriverInterface() { delete BindingOf(m_impl); }

long CWrapDriverInterface::Attach(CWrapNetAdapter* adapter) {
    return Guarded([&]() -> long {
        Binding* self = BindingOf(m_impl);
        if (!self) return tavro::ErrInternal;
        self->bound = false;
        self->id.clear();
        if (!adapter) return tavro::ErrBadArgument;
        Binding* target = BindingOf(adapter->m_impl);
        if (!target || !target->bound) return tavro::ErrNotBound;
        long r = Simulator::Instance().Attach(target->id);
        if (r != tavro::Ok) return r;
        self->id = target->id;
        self->bound = true;
        return tavro::Ok;
    });
}

long CWrapDriverInterface::GetRadioState(unsigned long* state) { return DriverValue(m_impl, tavro::FieldRadio, state); }

long CWrapDriverInterface::GetNetworkType(unsigned long* type) {
    return DriverValue(m_impl, tavro::FieldNetworkType, type);
}

long CWrapDriverInterface::GetAdapterState(unsigned long* state) {
    return DriverValue(m_impl, tavro::FieldAdapterState, state);
}

long CWrapDriverInterface::GetLinkQuality(unsigned long* quality) {
    return DriverValue(m_impl, tavro::FieldQuality, quality);
}

long CWrapDriverInterface::GetDot11Rate(unsigned long* rate) { return DriverValue(m_impl, tavro::FieldRate, rate); }

long CWrapDriverInterface::GetWEPPacketRxOK(unsigned long* count) {
    return DriverValue(m_impl, tavro::FieldWepRxOk, count);
}

long CWrapDriverInterface::GetDot11NetworkTypeInUse(unsigned long* type) {
    return DriverValue(m_impl, tavro::FieldTypeInUse, type);
}

long CWrapDriverInterface::GetGenDriverVersion(unsigned long* version) {
    return DriverValue(m_impl, tavro::FieldDriverVersion, version);
}

long CWrapDriverInterface::SetRadioState(unsigned long on) {
    return Guarded([&]() -> long {
        Binding* b = BindingOf(m_impl);
        bool bound = b && b->bound;
        return Simulator::Instance().SetRadio(bound ? b->id : std::string(), bound, on, "CWrapDriverInterface");
    });
}
