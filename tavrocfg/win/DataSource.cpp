// The pages' data source: TavroNet.h's functions looked up in TavroApi.DLL,
// the library the program already has loaded (see DataSource.h).
#include "DataSource.h"

#include <cstring>

namespace {

// Most networks and saved networks the pages ask for at once.
const unsigned long kMostEntries = 256;

template <typename Record>
void Prepare(Record* record) {
    std::memset(record, 0, sizeof *record);
    record->size = sizeof *record;
}

// Reads a list (the networks in range, the saved networks) through `get`:
// up to kMostEntries records, the first telling their size. `list` is left
// empty when the library lacks the function or fails.
template <typename Record, typename Function>
unsigned long ReadList(Function get, const std::string& adapterId, std::vector<Record>* list) {
    list->clear();
    if (!get) return ERROR_PROC_NOT_FOUND;
    std::vector<Record> records(kMostEntries);
    Prepare(&records[0]);
    unsigned long count = 0;
    const unsigned long code = get(adapterId.c_str(), &records[0], kMostEntries, &count);
    if (code != 0) return code;
    records.resize(count < kMostEntries ? count : kMostEntries);
    list->swap(records);
    return 0;
}

// The names in full of a library that gave only the ANSI ones.
void FillWide(TAVRONET_WCHAR* wide, int capacity, const char* ansi, int length) {
    if (wide[0] || length <= 0) return;
    const int n = MultiByteToWideChar(CP_ACP, 0, ansi, length, reinterpret_cast<LPWSTR>(wide), capacity - 1);
    wide[n > 0 ? n : 0] = 0;
}

int TextLength(const char* text, int most) {
    int n = 0;
    while (n < most && text[n]) ++n;
    return n;
}

// A saved network's name in full from its ANSI form.
void FillName(TAVRONET_WCHAR (&wide)[TAVRONET_NAME_CHARS], const char (&ansi)[TAVRONET_NAME_BYTES]) {
    FillWide(wide, TAVRONET_NAME_CHARS, ansi, TextLength(ansi, TAVRONET_NAME_BYTES));
}

template <typename Record>
void FillSsid(Record& r) {
    FillWide(r.ssidW, TAVRONET_SSID_CHARS, reinterpret_cast<const char*>(r.ssid),
             static_cast<int>(r.ssidLength < TAVRONET_SSID_BYTES ? r.ssidLength : TAVRONET_SSID_BYTES));
}

}  // namespace

DataSource::DataSource(const std::string& adapterId)
    : adapterId_(adapterId), library_(GetModuleHandleA("TavroApi.DLL")) {}

DataSource::~DataSource() {
    if (iphlpapi_) FreeLibrary(iphlpapi_);
}

unsigned long DataSource::GetLink(TAVRONET_LINK* link) const {
    Prepare(link);
    auto get = FindFunction<TAVRONET_GET_LINK>(library_, "TavroNetGetLink");
    const unsigned long code = get ? get(adapterId_.c_str(), link) : ERROR_PROC_NOT_FOUND;
    FillSsid(*link);
    FillName(link->profileNameW, link->profileName);
    return code;
}

unsigned long DataSource::GetNetworks(std::vector<TAVRONET_NETWORK>* networks) const {
    const unsigned long code =
        ReadList(FindFunction<TAVRONET_GET_NETWORKS>(library_, "TavroNetGetNetworks"), adapterId_, networks);
    for (TAVRONET_NETWORK& n : *networks) {
        FillSsid(n);
        FillName(n.profileNameW, n.profileName);
    }
    return code;
}

unsigned long DataSource::Scan() const {
    auto scan = FindFunction<TAVRONET_SCAN>(library_, "TavroNetScan");
    return scan ? scan(adapterId_.c_str()) : ERROR_PROC_NOT_FOUND;
}

unsigned long DataSource::GetScanState(unsigned long* state) const {
    *state = TAVRONET_SCAN_DONE;
    auto get = FindFunction<TAVRONET_GET_SCAN_STATE>(library_, "TavroNetGetScanState");
    return get ? get(adapterId_.c_str(), state) : ERROR_PROC_NOT_FOUND;
}

unsigned long DataSource::Connect(const TAVRONET_NETWORK& network) const {
    auto connect = FindFunction<TAVRONET_CONNECT>(library_, "TavroNetConnect");
    return connect ? connect(adapterId_.c_str(), &network) : ERROR_PROC_NOT_FOUND;
}

unsigned long DataSource::Disconnect() const {
    auto disconnect = FindFunction<TAVRONET_DISCONNECT>(library_, "TavroNetDisconnect");
    return disconnect ? disconnect(adapterId_.c_str()) : ERROR_PROC_NOT_FOUND;
}

unsigned long DataSource::GetProfiles(std::vector<TAVRONET_PROFILE>* profiles) const {
    const unsigned long code =
        ReadList(FindFunction<TAVRONET_GET_PROFILES>(library_, "TavroNetGetProfiles"), adapterId_, profiles);
    for (TAVRONET_PROFILE& p : *profiles) {
        FillSsid(p);
        FillName(p.nameW, p.name);
    }
    return code;
}

unsigned long DataSource::MoveProfile(const TAVRONET_PROFILE& profile, unsigned long position) const {
    if (auto move = FindFunction<TAVRONET_MOVE_PROFILE_W>(library_, "TavroNetMoveProfileW"))
        return move(adapterId_.c_str(), profile.nameW, position);
    auto move = FindFunction<TAVRONET_MOVE_PROFILE>(library_, "TavroNetMoveProfile");
    return move ? move(adapterId_.c_str(), profile.name, position) : ERROR_PROC_NOT_FOUND;
}

unsigned long DataSource::DeleteProfile(const TAVRONET_PROFILE& profile) const {
    if (auto remove = FindFunction<TAVRONET_DELETE_PROFILE_W>(library_, "TavroNetDeleteProfileW"))
        return remove(adapterId_.c_str(), profile.nameW);
    auto remove = FindFunction<TAVRONET_DELETE_PROFILE>(library_, "TavroNetDeleteProfile");
    return remove ? remove(adapterId_.c_str(), profile.name) : ERROR_PROC_NOT_FOUND;
}

unsigned long DataSource::GetConnectStatus(TAVRONET_CONNECT_STATUS* status) const {
    Prepare(status);
    auto get = FindFunction<TAVRONET_GET_CONNECT_STATUS>(library_, "TavroNetGetConnectStatus");
    return get ? get(adapterId_.c_str(), status) : ERROR_PROC_NOT_FOUND;
}

Text DataSource::ReasonText(unsigned long reason) const {
    TAVRONET_WCHAR text[TAVRONET_REASON_CHARS] = {};
    auto get = FindFunction<TAVRONET_GET_REASON_TEXT>(library_, "TavroNetGetReasonText");
    if (!get || get(reason, text, TAVRONET_REASON_CHARS) != 0) return Text();
    return FieldText(text, TAVRONET_REASON_CHARS);
}

unsigned long DataSource::GetHistory(TAVRONET_HISTORY* history) const {
    Prepare(history);
    auto get = FindFunction<TAVRONET_GET_HISTORY>(library_, "TavroNetGetHistory");
    const unsigned long code = get ? get(adapterId_.c_str(), history) : ERROR_PROC_NOT_FOUND;
    if (history->count > TAVRONET_HISTORY_SAMPLES) history->count = TAVRONET_HISTORY_SAMPLES;
    return code;
}

unsigned long DataSource::GetLibrary(TAVRONET_LIBRARY* library) const {
    Prepare(library);
    auto get = FindFunction<TAVRONET_GET_LIBRARY>(library_, "TavroNetGetLibrary");
    return get ? get(adapterId_.c_str(), library) : ERROR_PROC_NOT_FOUND;
}

std::string ErrorText(unsigned long code) {
    char text[512] = "";
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                        text, sizeof text, nullptr);
    std::string result(text, length);
    while (!result.empty() && (result.back() == '\n' || result.back() == '\r' || result.back() == ' '))
        result.pop_back();
    if (result.empty()) wsprintfA(text, "error %lu", code), result = text;
    return result;
}

namespace {

// The part of iphlpapi's IP_ADAPTER_INFO the applet reads, in its layout.
struct IpAddressString {
    char text[16];
};
struct IpAddressEntry {
    IpAddressEntry* next;
    IpAddressString address;
    IpAddressString mask;
    DWORD context;
};
struct IpAdapterInfo {
    IpAdapterInfo* next;
    DWORD comboIndex;
    char adapterName[260];
    char description[132];
    UINT addressLength;
    BYTE address[8];
    DWORD index;
    UINT type;
    UINT dhcpEnabled;
    IpAddressEntry* currentIpAddress;
    IpAddressEntry ipAddressList;
    IpAddressEntry gatewayList;
    // The DHCP and WINS servers and lease times follow; they are not read.
};
typedef DWORD(WINAPI* GetAdaptersInfoFunction)(IpAdapterInfo*, ULONG*);

bool Matches(const IpAdapterInfo& info, const std::string& adapterId, const unsigned char* mac) {
    if (!adapterId.empty() && lstrcmpiA(info.adapterName, adapterId.c_str()) == 0) return true;
    static const unsigned char kNone[6] = {};
    return mac && info.addressLength == 6 && std::memcmp(mac, kNone, 6) != 0 && std::memcmp(info.address, mac, 6) == 0;
}

}  // namespace

bool DataSource::GetIpSettings(const unsigned char* mac, IpSettings* settings) const {
    // The status page asks every second; the library is loaded once.
    if (!iphlpapiTried_) iphlpapi_ = LoadSystemLibrary("iphlpapi.dll");
    iphlpapiTried_ = true;
    auto getAdaptersInfo = FindFunction<GetAdaptersInfoFunction>(iphlpapi_, "GetAdaptersInfo");
    ULONG size = 0;
    if (!getAdaptersInfo || getAdaptersInfo(nullptr, &size) != ERROR_BUFFER_OVERFLOW || size == 0) return false;
    std::vector<unsigned char> buffer(size);
    IpAdapterInfo* first = reinterpret_cast<IpAdapterInfo*>(&buffer[0]);
    if (getAdaptersInfo(first, &size) != ERROR_SUCCESS) return false;
    for (const IpAdapterInfo* info = first; info; info = info->next)
        if (Matches(*info, adapterId_, mac)) {
            settings->address = info->ipAddressList.address.text;
            settings->mask = info->ipAddressList.mask.text;
            settings->gateway = info->gatewayList.address.text;
            return true;
        }
    return false;
}
