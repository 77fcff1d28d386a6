#include <cstring>
#include <new>
#include <vector>

#include "d3d/d3dx9.h"

namespace {

class CBuffer : public RefCounted<ID3DXBuffer> {
public:
    explicit CBuffer(DWORD size) : bytes_(size, 0) {}
    void* GetBufferPointer() override { return bytes_.empty() ? nullptr : bytes_.data(); }
    DWORD GetBufferSize() override { return static_cast<DWORD>(bytes_.size()); }

private:
    std::vector<unsigned char> bytes_;
};

}  // namespace

HRESULT D3DXCreateBuffer(DWORD size, ID3DXBuffer** buffer) {
    if (!buffer) return E_INVALIDARG;
    *buffer = new (std::nothrow) CBuffer(size);
    return *buffer ? S_OK : E_OUTOFMEMORY;
}

HRESULT D3DXCreateTextBuffer(const char* text, std::size_t length, ID3DXBuffer** buffer) {
    HRESULT hr = D3DXCreateBuffer(static_cast<DWORD>(length + 1), buffer);
    if (SUCCEEDED(hr) && length) std::memcpy((*buffer)->GetBufferPointer(), text, length);
    return hr;
}
