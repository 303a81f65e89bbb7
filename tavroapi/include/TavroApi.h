// TavroApi.h - published interface of the driver-interface library TavroApi.DLL.
//
// The binary interface is fixed: a 32-bit DLL whose three classes are exported
// with the compiler's default mangling and __thiscall member functions. Each class
// has no virtual functions and exactly one data member, an opaque pointer owned by
// the library. Every method other than the constructor and destructor returns a
// long, 0 meaning success.
#ifndef TAVROAPI_H
#define TAVROAPI_H

#if defined(TAVROAPI_BUILD)
#define TAVROAPI_CLASS __declspec(dllexport)
#elif defined(_WIN32)
#define TAVROAPI_CLASS __declspec(dllimport)
#else
#define TAVROAPI_CLASS
#endif

class TAVROAPI_CLASS CWrapNetAdapter {
public:
    CWrapNetAdapter();
    ~CWrapNetAdapter();

    // Copies the zero-terminated vendor description into a 128-byte buffer.
    long GetVendorDescription(char* description);
    // Copies the zero-terminated adapter identifier into a 260-byte buffer.
    long GetAdapterID(char* adapterId);
    // 1 switches the radio on, 0 switches it off.
    long SetRadioState(long on);

    void* m_impl;

private:
    CWrapNetAdapter(const CWrapNetAdapter&);
    CWrapNetAdapter& operator=(const CWrapNetAdapter&);
};

class TAVROAPI_CLASS CWrapNetAdapters {
public:
    CWrapNetAdapters();
    ~CWrapNetAdapters();

    // Re-reads the set of installed adapters.
    long Refresh();
    // Makes *adapter stand for item `index` (0..31); non-zero when there is none.
    long Item(int index, CWrapNetAdapter* adapter);

    void* m_impl;

private:
    CWrapNetAdapters(const CWrapNetAdapters&);
    CWrapNetAdapters& operator=(const CWrapNetAdapters&);
};

class TAVROAPI_CLASS CWrapDriverInterface {
public:
    CWrapDriverInterface();
    ~CWrapDriverInterface();

    // Binds this interface to the adapter's driver; non-zero when it cannot be used.
    long Attach(CWrapNetAdapter* adapter);

    long GetRadioState(unsigned long* state);     // bit 0: radio on, bit 1: switch on
    long GetNetworkType(unsigned long* type);     // 1 and 3 have a meaning to callers
    long GetAdapterState(unsigned long* state);   // 1: linked
    long GetLinkQuality(unsigned long* quality);  // 0..15
    long GetDot11Rate(unsigned long* rate);       // units of 500 kbit/s
    long GetWEPPacketRxOK(unsigned long* count);  // frames received and decrypted
    long GetDot11NetworkTypeInUse(unsigned long* type);
    long GetGenDriverVersion(unsigned long* version);  // major version in the high byte
    long SetRadioState(unsigned long on);

    void* m_impl;

private:
    CWrapDriverInterface(const CWrapDriverInterface&);
    CWrapDriverInterface& operator=(const CWrapDriverInterface&);
};

#endif
