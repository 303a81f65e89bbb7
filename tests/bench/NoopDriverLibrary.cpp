// A driver library with four linked adapters that answer at once.
#include "TavroApi.h"

#include <cstring>

namespace {
const int kAdapters = 4;
struct Binding {
    int item = -1;
};
int ItemOf(void* impl) { return static_cast<Binding*>(impl)->item; }
long Answer(void* impl, unsigned long* out, unsigned long value) {
    if (ItemOf(impl) < 0) return 1;
    *out = value;
    return 0;
}
}  // namespace

CWrapNetAdapter::CWrapNetAdapter() : m_impl(new Binding) {}
CWrapNetAdapter::~CWrapNetAdapter() { delete static_cast<Binding*>(m_impl); }
long CWrapNetAdapter::GetVendorDescription(char* text) {
    std::strcpy(text, "Wireless LAN PC Card");
    return 0;
}
long CWrapNetAdapter::GetAdapterID(char* text) {
    std::strcpy(text, "{00000000-0000-0000-0000-000000000000}");
    return 0;
}
long CWrapNetAdapter::SetRadioState(long) { return 0; }

CWrapNetAdapters::CWrapNetAdapters() : m_impl(nullptr) {}
CWrapNetAdapters::~CWrapNetAdapters() {}
long CWrapNetAdapters::Refresh() { return 0; }
long CWrapNetAdapters::Item(int index, CWrapNetAdapter* adapter) {
    if (index >= kAdapters) return 1;
    static_cast<Binding*>(adapter->m_impl)->item = index;
    return 0;
}

CWrapDriverInterface::CWrapDriverInterface() : m_impl(new Binding) {}
CWrapDriverInterface::~CWrapDriverInterface() { delete static_cast<Binding*>(m_impl); }
long CWrapDriverInterface::Attach(CWrapNetAdapter* adapter) {
    static_cast<Binding*>(m_impl)->item = ItemOf(adapter->m_impl);
    return 0;
}
long CWrapDriverInterface::GetRadioState(unsigned long* v) { return Answer(m_impl, v, 3); }
long CWrapDriverInterface::GetNetworkType(unsigned long* v) { return Answer(m_impl, v, 1); }
long CWrapDriverInterface::GetAdapterState(unsigned long* v) { return Answer(m_impl, v, 1); }
long CWrapDriverInterface::GetLinkQuality(unsigned long* v) { return Answer(m_impl, v, 11); }
long CWrapDriverInterface::GetDot11Rate(unsigned long* v) { return Answer(m_impl, v, 22); }
long CWrapDriverInterface::GetWEPPacketRxOK(unsigned long* v) { return Answer(m_impl, v, 100); }
long CWrapDriverInterface::GetDot11NetworkTypeInUse(unsigned long* v) { return Answer(m_impl, v, 1); }
long CWrapDriverInterface::GetGenDriverVersion(unsigned long* v) { return Answer(m_impl, v, 0x0501); }
long CWrapDriverInterface::SetRadioState(unsigned long) { return 0; }
