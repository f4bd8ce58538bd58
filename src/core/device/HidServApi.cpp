#include "core/device/HidServApi.h"

#include <dlfcn.h>

#include <cstdlib>

namespace brindle {

namespace {

template <typename Fn>
bool Bind(void* library, const char* name, Fn& slot) {
    void* symbol = dlsym(library, name);
    if (symbol == nullptr)
        return false;
    slot = reinterpret_cast<Fn>(symbol);
    return true;
}

} // namespace

std::optional<HidServApi> LoadHidServ(const std::string& programFolder) {
    const std::string path = programFolder + "/libHidServ.so";
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr)
        return std::nullopt;
    HidServApi api;
    // The lookup order is part of the contract with the library: one name missing ends the bind.
    const bool bound = Bind(library, "Debug", api.Debug) && Bind(library, "Init", api.Init) &&
                       Bind(library, "End", api.End) &&
                       Bind(library, "RequestGetDeviceCount", api.RequestGetDeviceCount) &&
                       Bind(library, "DeleteRequestFromUnitId", api.DeleteRequestFromUnitId) &&
                       Bind(library, "DeleteRequestFromHandle", api.DeleteRequestFromHandle) &&
                       Bind(library, "RequestWrite", api.RequestWrite) &&
                       Bind(library, "RequestWriteOne", api.RequestWriteOne) &&
                       Bind(library, "RequestStatusWrite", api.RequestStatusWrite) &&
                       Bind(library, "RequestStatusGet", api.RequestStatusGet) &&
                       Bind(library, "RequestAsyncRead", api.RequestAsyncRead) &&
                       Bind(library, "RequestStatusSetFeature", api.RequestStatusSetFeature);
    if (!bound) {
        dlclose(library);
        return std::nullopt;
    }
    Bind(library, kHidServAbsentReasonName, api.AbsentReason);
    return api;
}

HidServApi BindHidServOrExit(const std::string& programFolder) {
    std::optional<HidServApi> api = LoadHidServ(programFolder);
    if (!api || api->Init(0) <= 0)
        std::exit(0);
    return *api;
}

} // namespace brindle
