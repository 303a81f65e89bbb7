// The service control manager of the simulated desktop: installed services
// with their current state, and handles that carry the access they were
// opened with. Windows 95, 98 and Me have no service control manager.
#include "State.h"

namespace sim {

namespace {

const ServiceHandle* Find(SC_HANDLE handle) {
    auto it = S().serviceHandles.find(handle);
    return it == S().serviceHandles.end() ? nullptr : &it->second;
}

SC_HANDLE NewHandle(const std::string& service, DWORD access) {
    SC_HANDLE handle = S().NewHandle<SC_HANDLE>();
    S().serviceHandles[handle] = ServiceHandle{service, access, CurrentThread()};
    return handle;
}

}  // namespace

void CloseServiceHandlesOf(Process::Thread& thread) {
    CloseHandlesOwnedBy(S().serviceHandles, thread, S().handlesLeftAtExit);
}

void Desktop::SetService(const std::string& name, DWORD state) { state_->services[Lower(name)] = state; }
void Desktop::RemoveService(const std::string& name) { state_->services.erase(Lower(name)); }
int Desktop::OpenServiceHandles() const { return static_cast<int>(state_->serviceHandles.size()); }
int Desktop::HandlesLeftAtExit() const { return state_->handlesLeftAtExit; }

}  // namespace sim

using namespace sim;

SC_HANDLE WINAPI OpenSCManagerA(LPCSTR machineName, LPCSTR, DWORD access) {
    const bool fails = TraceFails("OpenSCManagerA", "\"%s\", 0x%lX", machineName ? machineName : "", access);
    if (S().version & 0x80000000) {
        SetError(ERROR_CALL_NOT_IMPLEMENTED);
        return nullptr;
    }
    if (fails) {
        SetError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    return NewHandle("", access);
}

SC_HANDLE WINAPI OpenServiceA(SC_HANDLE manager, LPCSTR serviceName, DWORD access) {
    const std::string name = serviceName ? serviceName : "";
    const bool fails = TraceFails("OpenServiceA", "%p, \"%s\", 0x%lX", (void*)manager, name.c_str(), access);
    const ServiceHandle* handle = Find(manager);
    if (!handle || !handle->service.empty()) {
        SetError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (!(handle->access & SC_MANAGER_CONNECT) || fails) {
        SetError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    if (!S().services.count(Lower(name))) {
        SetError(ERROR_SERVICE_DOES_NOT_EXIST);
        return nullptr;
    }
    return NewHandle(Lower(name), access);
}

BOOL WINAPI QueryServiceStatus(SC_HANDLE service, LPSERVICE_STATUS status) {
    const bool fails = TraceFails("QueryServiceStatus", "%p", (void*)service);
    const ServiceHandle* handle = Find(service);
    if (!handle || handle->service.empty() || !status) {
        SetError(!status ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
        return FALSE;
    }
    auto installed = S().services.find(handle->service);
    if (!(handle->access & SERVICE_QUERY_STATUS) || fails || installed == S().services.end()) {
        SetError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    *status = SERVICE_STATUS{SERVICE_WIN32_SHARE_PROCESS, installed->second, 0, 0, 0, 0, 0};
    return TRUE;
}

BOOL WINAPI CloseServiceHandle(SC_HANDLE handle) {
    Trace("CloseServiceHandle", "%p", (void*)handle);
    if (S().serviceHandles.erase(handle)) return TRUE;
    SetError(ERROR_INVALID_HANDLE);
    return FALSE;
}
