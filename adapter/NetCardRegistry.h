// The network-card registry object of the tray window. Of its state only the
// match text is used: it starts empty and nothing changes it.
#ifndef ADAPTER_NETCARDREGISTRY_H
#define ADAPTER_NETCARDREGISTRY_H

#include <string>

class NetCardRegistry {
public:
    const char* MatchText() const { return matchText_.c_str(); }

private:
    std::string matchText_;
};

#endif
