#include "render/device_error.h"

#include <cstdint>
#include <cstdio>

std::string DeviceErrorText(HRESULT code) {
    // The codes CreateDevice and GetAdapterDisplayMode answer with, by their SDK names.
    static const struct {
        std::uint32_t code;
        const char* name;
    } kNames[] = {
        {0x8876086Au, "D3DERR_NOTAVAILABLE"},    {0x8876086Cu, "D3DERR_INVALIDCALL"},
        {0x8876017Cu, "D3DERR_OUTOFVIDEOMEMORY"}, {0x88760868u, "D3DERR_DEVICELOST"},
        {0x88760827u, "D3DERR_DRIVERINTERNALERROR"}, {0x8007000Eu, "E_OUTOFMEMORY"},
        {0x80070057u, "E_INVALIDARG"},           {0x80004005u, "E_FAIL"},
    };
    const auto value = static_cast<std::uint32_t>(code);
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%08X", static_cast<unsigned>(value));
    for (const auto& entry : kNames)
        if (entry.code == value) return std::string(entry.name) + ", " + hex;
    return hex;
}
