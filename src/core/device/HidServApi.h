// The device service library as the program sees it: twelve bound entry points, in the order they
// are looked up. The program loads libHidServ.so from its own folder at run time; tests fill the
// table with fakes instead.
#pragma once

#include <optional>
#include <string>

#include "hidserv/include/HidServ.h"

namespace brindle {

struct HidServApi {
    int (*Debug)(int level) = nullptr;
    int (*Init)(int flags) = nullptr;
    int (*End)(void) = nullptr;
    int (*RequestGetDeviceCount)(const HidDeviceFilter*, HidCallback, uint32_t tag, uint32_t code,
                                 uint32_t* unitId) = nullptr;
    int (*DeleteRequestFromUnitId)(uint32_t unitId) = nullptr;
    int (*DeleteRequestFromHandle)(void* handle) = nullptr;
    int (*RequestWrite)(const HidDeviceFilter*, HidCallback, uint32_t tag, const uint8_t* data,
                        uint32_t length, uint32_t code, uint32_t* unitId) = nullptr;
    int (*RequestWriteOne)(const HidDeviceFilter*, HidCallback, uint32_t tag, const uint8_t* data,
                           uint32_t length, uint32_t code, uint32_t* unitId) = nullptr;
    int (*RequestStatusWrite)(const HidDeviceFilter*, HidCallback, uint32_t tag,
                              const uint8_t* data, uint32_t length, uint32_t code,
                              uint32_t* unitId) = nullptr;
    int (*RequestStatusGet)(const HidDeviceFilter*, HidCallback, uint32_t tag, uint8_t* data,
                            uint32_t length, uint32_t code, uint32_t* unitId) = nullptr;
    int (*RequestAsyncRead)(const HidDeviceFilter*, HidCallback, uint32_t tag, uint32_t code,
                            uint32_t* unitId) = nullptr;
    int (*RequestStatusSetFeature)(const HidDeviceFilter*, HidCallback, uint32_t tag,
                                   const uint8_t* data, uint32_t length, uint32_t code,
                                   uint32_t* unitId) = nullptr;

    // Not one of the twelve: why the real keyboard's nodes count as absent ("permission denied on
    // /dev/hidrawN"), or an empty text. Bound when the library offers it, else null.
    const char* (*AbsentReason)(void) = nullptr;
};

// The name of the optional reason function looked up beside the twelve.
constexpr const char* kHidServAbsentReasonName = "HidServLastProblem";

// dlopen()s PROGRAMFOLDER/libHidServ.so and binds every name in order. Nullopt when the library
// or any of the twelve names is missing (the library stays loaded for the process's life).
std::optional<HidServApi> LoadHidServ(const std::string& programFolder);

// LoadHidServ, then Init(0). Ends the process with exit code 0 and no message when the library or
// a name is missing or Init(0) returns 0 or less: without the service there is nothing to do.
HidServApi BindHidServOrExit(const std::string& programFolder);

} // namespace brindle
