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

Binding* bindingOf(void* impl) { return static_cast<Binding*>(impl); }

// The library is built without exceptions, like the program that loads it:
// what would have thrown (memory running out) ends the process instead.
template <typename Body>
long guarded(Body body) {
    return body();
}

void copyText(char* dest, const std::string& text, size_t capacity) {
    size_t n = text.size() < capacity - 1 ? text.size() : capacity - 1;
    std::memcpy(dest, text.data(), n);
    dest[n] = '\0';
}

// Reads one field of the adapter a driver interface is attached to.
long driverValue(void* impl, tavro::Field field, unsigned long* out) {
    return guarded([&]() -> long {
        Binding* b = bindingOf(impl);
        if (!out) return tavro::ErrBadArgument;
        if (!b || !b->bound) return tavro::ErrNotBound;
        AdapterView v;
        long r = Simulator::instance().view(b->id, v);
        if (r == tavro::Ok) *out = v.values[field];
        return r;
    });
}

// Reads the description or identifier of the adapter an adapter object stands for.
long adapterText(void* impl, char* out, size_t capacity, bool wantId) {
    return guarded([&]() -> long {
        Binding* b = bindingOf(impl);
        if (!out) return tavro::ErrBadArgument;
        out[0] = '\0';
        if (!b || !b->bound) return tavro::ErrNotBound;
        AdapterView v;
        long r = Simulator::instance().view(b->id, v);
        if (r == tavro::Ok) copyText(out, wantId ? v.id : v.description, capacity);
        return r;
    });
}

}  // namespace

// ---- CWrapNetAdapter: one adapter of the collection -------------------------

CWrapNetAdapter::CWrapNetAdapter() : m_impl(new (std::nothrow) Binding) {}

CWrapNetAdapter::~CWrapNetAdapter() { delete bindingOf(m_impl); }

long CWrapNetAdapter::GetVendorDescription(char* description) {
    return adapterText(m_impl, description, TAVROAPI_DESCRIPTION_BYTES, false);
}

long CWrapNetAdapter::GetAdapterID(char* adapterId) {
    return adapterText(m_impl, adapterId, TAVROAPI_ADAPTER_ID_BYTES, true);
}

long CWrapNetAdapter::SetRadioState(long on) {
    return guarded([&]() -> long {
        Binding* b = bindingOf(m_impl);
        bool bound = b && b->bound;
        return Simulator::instance().setRadio(bound ? b->id : std::string(), bound,
                                              on, "CWrapNetAdapter");
    });
}

// ---- CWrapNetAdapters: the collection of installed adapters ------------------

CWrapNetAdapters::CWrapNetAdapters() : m_impl(nullptr) {}

CWrapNetAdapters::~CWrapNetAdapters() {}

long CWrapNetAdapters::Refresh() {
    return guarded([&]() -> long { return Simulator::instance().refresh(); });
}

long CWrapNetAdapters::Item(int index, CWrapNetAdapter* adapter) {
    return guarded([&]() -> long {
        if (!adapter) return tavro::ErrBadArgument;
        Binding* b = bindingOf(adapter->m_impl);
        if (!b) return tavro::ErrInternal;
        b->bound = false;
        b->id.clear();
        std::string id;
        long r = Simulator::instance().itemId(index, id);
        if (r != tavro::Ok) return r;
        b->id = id;
        b->bound = true;
        return tavro::Ok;
    });
}

// ---- CWrapDriverInterface: the driver of one adapter -------------------------

CWrapDriverInterface::CWrapDriverInterface() : m_impl(new (std::nothrow) Binding) {}

CWrapDriverInterface::~CWrapDriverInterface() { delete bindingOf(m_impl); }

long CWrapDriverInterface::Attach(CWrapNetAdapter* adapter) {
    return guarded([&]() -> long {
        Binding* self = bindingOf(m_impl);
        if (!self) return tavro::ErrInternal;
        self->bound = false;
        self->id.clear();
        if (!adapter) return tavro::ErrBadArgument;
        Binding* target = bindingOf(adapter->m_impl);
        if (!target || !target->bound) return tavro::ErrNotBound;
        long r = Simulator::instance().attach(target->id);
        if (r != tavro::Ok) return r;
        self->id = target->id;
        self->bound = true;
        return tavro::Ok;
    });
}

long CWrapDriverInterface::GetRadioState(unsigned long* state) {
    return driverValue(m_impl, tavro::FieldRadio, state);
}

long CWrapDriverInterface::GetNetworkType(unsigned long* type) {
    return driverValue(m_impl, tavro::FieldNetworkType, type);
}

long CWrapDriverInterface::GetAdapterState(unsigned long* state) {
    return driverValue(m_impl, tavro::FieldAdapterState, state);
}

long CWrapDriverInterface::GetLinkQuality(unsigned long* quality) {
    return driverValue(m_impl, tavro::FieldQuality, quality);
}

long CWrapDriverInterface::GetDot11Rate(unsigned long* rate) {
    return driverValue(m_impl, tavro::FieldRate, rate);
}

long CWrapDriverInterface::GetWEPPacketRxOK(unsigned long* count) {
    return driverValue(m_impl, tavro::FieldWepRxOk, count);
}

long CWrapDriverInterface::GetDot11NetworkTypeInUse(unsigned long* type) {
    return driverValue(m_impl, tavro::FieldTypeInUse, type);
}

long CWrapDriverInterface::GetGenDriverVersion(unsigned long* version) {
    return driverValue(m_impl, tavro::FieldDriverVersion, version);
}

long CWrapDriverInterface::SetRadioState(unsigned long on) {
    return guarded([&]() -> long {
        Binding* b = bindingOf(m_impl);
        bool bound = b && b->bound;
        return Simulator::instance().setRadio(bound ? b->id : std::string(), bound, on,
                                              "CWrapDriverInterface");
    });
}
