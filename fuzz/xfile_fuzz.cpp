// The .x reader on arbitrary bytes: it must fail cleanly or give a mesh whose indices are in range.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "formats/xfile/xfile_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const Result<XMeshFile> read = ReadXFile(bytes);
    if (!read.ok) return 0;
    const XMeshFile& file = read.value;
    for (std::uint32_t index : file.mesh.indices)
        if (index >= file.mesh.vertices.size()) std::abort();
    std::size_t faces = 0;
    for (const XSubset& subset : file.mesh.subsets) faces += subset.faceCount;
    if (faces * 3 != file.mesh.indices.size() || file.mesh.subsets.size() != file.materials.size()) std::abort();
    return 0;
}
