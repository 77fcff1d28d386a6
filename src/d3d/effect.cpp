// D3DXCreateEffectFromFileA on our own effect front end. The effect answers technique and top-level
// parameter handles by name; a handle is the address of the name the effect keeps, stable for its life.
#include <cstring>
#include <new>
#include <string>
#include <unordered_set>

#include "d3d/d3dx9.h"
#include "formats/effect/effect_parser.h"
#include "formats/effect/effect_preprocessor.h"
#include "base/file_bytes.h"

namespace {

class CEffect : public RefCounted<ID3DXEffect> {
public:
    explicit CEffect(const EffectDescription& description)
        : techniques_(description.techniques.begin(), description.techniques.end()),
          parameters_(description.parameters.begin(), description.parameters.end()) {}

    D3DXHANDLE GetTechniqueByName(const char* name) override { return Find(techniques_, name); }
    D3DXHANDLE GetParameterByName(D3DXHANDLE parent, const char* name) override {
        // Only top-level parameters have handles; struct members are not looked into.
        return parent ? nullptr : Find(parameters_, name);
    }

private:
    static D3DXHANDLE Find(const std::unordered_set<std::string>& names, const char* name) {
        if (!name) return nullptr;
        auto it = names.find(name);
        return it == names.end() ? nullptr : it->c_str();
    }

    // Never change after construction; set elements do not move, so the handles stay valid.
    const std::unordered_set<std::string> techniques_;
    const std::unordered_set<std::string> parameters_;
};

HRESULT Fail(const std::string& message, ID3DXBuffer** errors) {
    if (errors) {
        std::string text = message + "\n";
        D3DXCreateTextBuffer(text.data(), text.size(), errors);
    }
    return E_FAIL;
}

}  // namespace

HRESULT D3DXCreateEffectFromFileA(IDirect3DDevice9*, const char* fileName, const D3DXMACRO*, ID3DXInclude*, DWORD,
                                  ID3DXEffectPool*, ID3DXEffect** effect, ID3DXBuffer** compilationErrors) {
    if (compilationErrors) *compilationErrors = nullptr;
    if (!effect) return E_INVALIDARG;
    const std::string name = fileName ? fileName : "";
    const Result<std::string> source = ReadFileBytes(fileName, kEffectFileLimit);
    if (!source.ok) return Fail(source.Describe(), compilationErrors);
    const Result<EffectDescription> description = ParseEffect(source.value, name);
    if (!description.ok) return Fail(EffectMessage(description), compilationErrors);
    auto* created = new (std::nothrow) CEffect(description.value);
    if (!created) return E_OUTOFMEMORY;
    *effect = created;
    return S_OK;
}
