#include "formats/xfile/xfile_reader.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cfloat>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <unordered_map>

#include "base/file_bytes.h"
#include "formats/matrix_math.h"
#include "formats/xfile/mszip.h"
#include "formats/xfile/xfile_tokens.h"

namespace {

using Kind = XToken::Kind;

struct ReadError {
    std::string reason;
};

struct Frame {
    std::size_t parent;
    Float4x4 local;
};

// One mesh's vertices in the merged buffer and the frame that places them.
struct MeshRange {
    std::size_t frame;
    std::size_t begin, end;
    bool hasNormals;
};

struct Triangle {
    std::uint32_t v[3];
    std::uint32_t material;
};

bool SameName(const std::string& a, const char* b) {
    std::size_t n = 0;
    for (; b[n]; ++n)
        if (n >= a.size() || std::tolower(static_cast<unsigned char>(a[n])) != std::tolower(static_cast<unsigned char>(b[n])))
            return false;
    return n == a.size();
}

class Parser {
public:
    Parser(const std::string& body, bool binary, bool doubles) : r_(body, binary, doubles) {
        frames_.push_back({0, IdentityMatrix()});
    }

    void File() {
        std::vector<std::size_t> open;  // the frames whose braces are open, innermost last
        for (;;) {
            XToken token = Next();
            const std::size_t frame = open.empty() ? 0 : open.back();
            switch (token.kind) {
                case Kind::End:
                    if (!open.empty()) Fail("a frame is not closed at the end of the file");
                    return;
                case Kind::CloseBrace:
                    if (open.empty()) Fail("'}' without an open object");
                    open.pop_back();
                    continue;
                case Kind::OpenBrace:
                    SkipBody();  // a reference to an object defined elsewhere
                    continue;
                case Kind::Name: break;
                default: continue;
            }
            if (token.text == "template") {
                SkipObject();
                continue;
            }
            const std::string name = Header();
            if (token.text == "Frame") {
                frames_.push_back({frame, IdentityMatrix()});
                open.push_back(frames_.size() - 1);
            } else if (token.text == "FrameTransformMatrix") {
                Float4x4 m;
                for (int i = 0; i < 16; ++i) m.m[i / 4][i % 4] = F();
                SkipBody();
                frames_[frame].local = m;
            } else if (token.text == "Mesh") {
                MeshObject(frame);
            } else if (token.text == "Material") {
                XMaterial material = MaterialBody();
                if (!name.empty()) named_[name] = material;
            } else {
                SkipBody();
            }
        }
    }

    void Finish(XMeshFile& out) {
        ApplyFrames();
        if (triangles_.empty()) Fail("the file holds no triangles");
        std::stable_sort(triangles_.begin(), triangles_.end(),
                         [](const Triangle& a, const Triangle& b) { return a.material < b.material; });
        XMesh& data = out.mesh;
        data.indices.reserve(triangles_.size() * 3);
        std::size_t t = 0;
        for (std::uint32_t m = 0; m < materials_.size(); ++m) {
            XSubset range{static_cast<std::uint32_t>(t), 0, 0, 0};
            std::uint32_t low = UINT32_MAX, high = 0;
            for (; t < triangles_.size() && triangles_[t].material == m; ++t)
                for (std::uint32_t index : triangles_[t].v) {
                    data.indices.push_back(index);
                    low = std::min(low, index);
                    high = std::max(high, index);
                }
            range.faceCount = static_cast<std::uint32_t>(t - range.faceStart);
            if (range.faceCount) range.vertexStart = low, range.vertexCount = high - low + 1;
            data.subsets.push_back(range);
        }
        data.vertices = std::move(vertices_);
        out.materials = std::move(materials_);
    }

    std::string Where() const { return r_.Where(); }

private:
    [[noreturn]] void Fail(const std::string& reason) const { throw ReadError{reason}; }

    XToken Next() {
        Result<XToken> token = r_.Next();
        if (!token.ok) Fail(token.message);
        return std::move(token.value);
    }
    XToken Peek() {
        Result<XToken> token = r_.Peek();
        if (!token.ok) Fail(token.message);
        return std::move(token.value);
    }

    // After an object's type: its optional name and GUID, then its opening brace. Returns the name.
    std::string Header() {
        std::string name;
        XToken token = Next();
        if (token.kind == Kind::Name || token.kind == Kind::Number) {
            name = token.kind == Kind::Name ? token.text : "";
            token = Next();
        }
        if (token.kind == Kind::Guid) token = Next();
        if (token.kind != Kind::OpenBrace) Fail("expected '{' after an object's type");
        return name;
    }

    // Skips to the brace that closes the object whose opening brace was read.
    void SkipBody() {
        std::size_t depth = 1;
        while (depth) {
            XToken token = Next();
            if (token.kind == Kind::End) Fail("an object is not closed at the end of the file");
            if (token.kind == Kind::OpenBrace) ++depth;
            if (token.kind == Kind::CloseBrace) --depth;
        }
    }
    void SkipObject() {
        for (;;) {
            XToken token = Next();
            if (token.kind == Kind::End) Fail("an object is not closed at the end of the file");
            if (token.kind == Kind::OpenBrace) return SkipBody();
        }
    }

    double Number() {
        XToken token = Next();
        while (token.kind == Kind::Separator) token = Next();
        if (token.kind == Kind::End) Fail("an object is not closed at the end of the file");
        if (token.kind != Kind::Number) Fail("expected a number");
        return token.number;
    }

    // A count of elements of `size` numbers each, no more than the rest of the file can hold.
    std::uint32_t Count(const char* what, std::size_t size) {
        const double value = Number();
        if (value < 0 || value != std::floor(value) || value > UINT32_MAX) Fail(std::string("the count of ") + what + " is not a whole number");
        const auto count = static_cast<std::uint32_t>(value);
        if (size && count > r_.NumbersLeft() / size)
            Fail(std::to_string(count) + " " + what + " do not fit in the rest of the file");
        return count;
    }

    std::uint32_t Index(std::uint32_t limit, const char* what) {
        const double value = Number();
        if (value < 0 || value != std::floor(value) || value >= limit)
            Fail(std::string(what) + " index " + NumberText(value) + " is out of range (" + std::to_string(limit) + ")");
        return static_cast<std::uint32_t>(value);
    }

    // The next child object of the object being read: its type, or "" at the object's closing brace.
    // References ({Name}) come back as "{" with the name in `reference`.
    std::string Child(std::string& name, std::string& reference) {
        for (;;) {
            XToken token = Next();
            if (token.kind == Kind::End) Fail("an object is not closed at the end of the file");
            if (token.kind == Kind::CloseBrace) return "";
            if (token.kind == Kind::OpenBrace) {
                reference.clear();
                for (XToken inner = Next(); inner.kind != Kind::CloseBrace; inner = Next()) {
                    if (inner.kind == Kind::End) Fail("a reference is not closed");
                    if (inner.kind == Kind::Name && reference.empty()) reference = inner.text;
                    if (inner.kind == Kind::OpenBrace) Fail("expected '}' to close a reference");
                }
                return "{";
            }
            if (token.kind == Kind::Name && token.text == "template") {
                SkipObject();
            } else if (token.kind == Kind::Name) {
                name = Header();
                return token.text;
            }
        }
    }

    void MeshObject(std::size_t frame) {
        const std::uint32_t vertexCount = Count("vertices", 3);
        const std::size_t base = vertices_.size();
        if (base + vertexCount > UINT32_MAX) Fail("too many vertices");
        for (std::uint32_t i = 0; i < vertexCount; ++i) {
            XVertex v{};
            for (float& c : v.pos) c = F();
            vertices_.push_back(v);
        }
        const std::uint32_t faceCount = Count("faces", 1);
        std::vector<std::uint32_t> corners, faceStart;
        for (std::uint32_t f = 0; f < faceCount; ++f) {
            faceStart.push_back(static_cast<std::uint32_t>(corners.size()));
            const std::uint32_t n = Count("face corners", 1);
            for (std::uint32_t k = 0; k < n; ++k) corners.push_back(Index(vertexCount, "vertex"));
        }
        faceStart.push_back(static_cast<std::uint32_t>(corners.size()));

        std::vector<std::uint32_t> faceMaterial;
        const std::uint32_t firstMaterial = static_cast<std::uint32_t>(materials_.size());
        bool hasNormals = false;
        std::vector<Float3> normals;
        std::vector<std::uint32_t> cornerNormal;  // per corner, when the normals' faces match the mesh's
        std::string name, reference;
        for (std::string type = Child(name, reference); !type.empty(); type = Child(name, reference)) {
            if (type == "MeshNormals") {
                const std::uint32_t n = Count("normals", 3);
                for (std::uint32_t i = 0; i < n; ++i) {
                    Float3 v;
                    v.x = F(), v.y = F(), v.z = F();
                    normals.push_back(v);
                }
                const std::uint32_t faces = Count("normal faces", 1);
                std::vector<std::uint32_t> perCorner;
                bool matches = faces == faceCount;
                for (std::uint32_t f = 0; f < faces; ++f) {
                    const std::uint32_t k = Count("face corners", 1);
                    matches = matches && k == faceStart[f + 1] - faceStart[f];
                    for (std::uint32_t i = 0; i < k; ++i) perCorner.push_back(Index(n, "normal"));
                }
                SkipBody();
                if (matches) cornerNormal = std::move(perCorner), hasNormals = true;
            } else if (type == "MeshTextureCoords") {
                const std::uint32_t n = Count("texture coordinates", 2);
                for (std::uint32_t i = 0; i < n; ++i) {
                    const float u = F(), v = F();
                    if (i < vertexCount) vertices_[base + i].uv[0] = u, vertices_[base + i].uv[1] = v;
                }
                SkipBody();
            } else if (type == "MeshVertexColors") {
                // Read for their checks; the vertex format holds no colour.
                const std::uint32_t n = Count("vertex colours", 5);
                for (std::uint32_t i = 0; i < n; ++i) {
                    Index(vertexCount, "vertex");
                    for (int c = 0; c < 4; ++c) Number();
                }
                SkipBody();
            } else if (type == "MeshMaterialList") {
                MaterialList(faceCount, faceMaterial);
            } else if (type != "{") {
                SkipBody();  // skin data, declarations, face wraps, duplication indices, ...
            }
        }
        // Meshes without materials (no list, or an empty one) share one grey material.
        std::uint32_t meshMaterial = firstMaterial;
        if (materials_.size() == firstMaterial) {
            if (!defaultMaterial_) {
                XMaterial grey;
                grey.diffuse = {0.6f, 0.6f, 0.6f, 1.0f};
                grey.specular = grey.emissive = {0.0f, 0.0f, 0.0f, 1.0f};
                defaultMaterial_ = static_cast<std::uint32_t>(materials_.size());
                materials_.push_back(grey);
            }
            meshMaterial = *defaultMaterial_;
            faceMaterial.assign(faceCount, 0);
        }

        // Corners whose normal differs from the one their vertex already has get a copy of the vertex.
        std::vector<std::int64_t> normalOf(vertexCount, -1);
        std::unordered_map<std::uint64_t, std::uint32_t> copies;
        if (hasNormals) {
            for (std::size_t c = 0; c < corners.size(); ++c) {
                const std::uint32_t v = corners[c], n = cornerNormal[c];
                std::int64_t& current = normalOf[v];
                if (current < 0 || current == n || normals[static_cast<std::size_t>(current)] == normals[n]) {
                    if (current < 0) current = n;
                    corners[c] = static_cast<std::uint32_t>(base + v);
                    continue;
                }
                const std::uint64_t key = (std::uint64_t{v} << 32) | n;
                auto it = copies.find(key);
                if (it == copies.end()) {
                    if (vertices_.size() >= UINT32_MAX) Fail("too many vertices");
                    XVertex copy = vertices_[base + v];
                    SetNormal(copy, normals[n]);
                    vertices_.push_back(copy);
                    it = copies.emplace(key, static_cast<std::uint32_t>(vertices_.size() - 1)).first;
                }
                corners[c] = it->second;
            }
            for (std::uint32_t v = 0; v < vertexCount; ++v)
                if (normalOf[v] >= 0) SetNormal(vertices_[base + v], normals[static_cast<std::size_t>(normalOf[v])]);
        } else {
            for (std::uint32_t& c : corners) c += static_cast<std::uint32_t>(base);
        }

        for (std::uint32_t f = 0; f < faceCount; ++f) {
            const std::uint32_t material = meshMaterial + (f < faceMaterial.size() ? faceMaterial[f] : 0);
            for (std::uint32_t k = faceStart[f] + 1; k + 1 < faceStart[f + 1]; ++k)
                triangles_.push_back({{corners[faceStart[f]], corners[k], corners[k + 1]}, material});
        }
        meshes_.push_back({frame, base, vertices_.size(), hasNormals});
    }

    static void SetNormal(XVertex& v, const Float3& n) {
        v.normal[0] = n.x, v.normal[1] = n.y, v.normal[2] = n.z;
    }

    void MaterialList(std::uint32_t faceCount, std::vector<std::uint32_t>& faceMaterial) {
        const std::uint32_t count = Count("materials", 1);
        const std::uint32_t indexCount = Count("face materials", 1);
        for (std::uint32_t i = 0; i < indexCount; ++i) {
            const std::uint32_t index = Index(count, "material");
            if (i < faceCount) faceMaterial.push_back(index);
        }
        // Faces the list leaves out take the last material it gives.
        const std::uint32_t last = faceMaterial.empty() ? 0 : faceMaterial.back();
        faceMaterial.resize(faceCount, last);

        std::uint32_t given = 0;
        std::string name, reference;
        for (std::string type = Child(name, reference); !type.empty(); type = Child(name, reference)) {
            if (type == "Material") {
                XMaterial material = MaterialBody();
                if (!name.empty()) named_[name] = material;
                if (given++ < count) materials_.push_back(std::move(material));
            } else if (type == "{") {
                auto it = named_.find(reference);
                if (it == named_.end()) Fail("the material list refers to the unknown material '" + reference + "'");
                if (given++ < count) materials_.push_back(it->second);
            } else {
                SkipBody();
            }
        }
        if (given < count)
            Fail("the material list declares " + std::to_string(count) + " materials and gives " + std::to_string(given));
    }

    XMaterial MaterialBody() {
        XMaterial out;
        out.diffuse = {F(), F(), F(), F()};
        out.power = F();
        out.specular = {F(), F(), F(), 1.0f};
        out.emissive = {F(), F(), F(), 1.0f};
        std::string name, reference;
        for (std::string type = Child(name, reference); !type.empty(); type = Child(name, reference)) {
            if (SameName(type, "TextureFilename")) {
                XToken token = Next();
                while (token.kind == Kind::Separator) token = Next();
                if (token.kind != Kind::String) Fail("expected the texture file name as a string");
                out.hasTexture = true;
                out.texture = token.text;
            }
            if (type != "{") SkipBody();
        }
        return out;
    }
    float F() {
        const double value = Number();
        if (!(std::fabs(value) <= FLT_MAX)) Fail("the number " + NumberText(value) + " does not fit in a float");
        return static_cast<float>(value);
    }

    static std::string NumberText(double value) {
        if (std::fabs(value) < 1e15 && value == std::floor(value)) return std::to_string(static_cast<long long>(value));
        char text[32];
        std::snprintf(text, sizeof text, "%g", value);
        return text;
    }

    // Frames hold their parent's index, which is always smaller than their own.
    void ApplyFrames() {
        std::vector<Float4x4> world(frames_.size());
        world[0] = frames_[0].local;
        for (std::size_t f = 1; f < frames_.size(); ++f) world[f] = Multiply(frames_[f].local, world[frames_[f].parent]);
        for (const MeshRange& mesh : meshes_) {
            const Float4x4& m = world[mesh.frame];
            Float4x4 inverse;
            const bool invertible = Invert(m, inverse);
            for (std::size_t i = mesh.begin; i < mesh.end; ++i) {
                XVertex& v = vertices_[i];
                const Float3 p = TransformCoord({v.pos[0], v.pos[1], v.pos[2]}, m);
                v.pos[0] = p.x, v.pos[1] = p.y, v.pos[2] = p.z;
                if (!mesh.hasNormals || mesh.frame == 0) continue;
                // Normals go through the inverse transpose of the frame's 3x3 part.
                const Float4x4& t = invertible ? inverse : m;
                float n[3];
                for (int c = 0; c < 3; ++c) {
                    float sum = 0.0f;
                    for (int r = 0; r < 3; ++r) sum += v.normal[r] * (invertible ? t.m[c][r] : t.m[r][c]);
                    n[c] = sum;
                }
                SetNormal(v, Normalize({n[0], n[1], n[2]}));
            }
        }
        // Meshes without normals get face normals, pointing to the side from which the winding is clockwise.
        std::vector<bool> flat(vertices_.size(), false);
        for (const MeshRange& mesh : meshes_)
            if (!mesh.hasNormals) std::fill(flat.begin() + static_cast<std::ptrdiff_t>(mesh.begin),
                                            flat.begin() + static_cast<std::ptrdiff_t>(mesh.end), true);
        for (const Triangle& t : triangles_) {
            if (!flat[t.v[0]]) continue;
            const float* a = vertices_[t.v[0]].pos;
            const float* b = vertices_[t.v[1]].pos;
            const float* c = vertices_[t.v[2]].pos;
            const Float3 n = Normalize(Cross({b[0] - a[0], b[1] - a[1], b[2] - a[2]}, {c[0] - a[0], c[1] - a[1], c[2] - a[2]}));
            for (std::uint32_t index : t.v) SetNormal(vertices_[index], n);
        }
    }

    XTokenReader r_;
    std::vector<Frame> frames_;  // frame 0 is the file itself
    std::vector<MeshRange> meshes_;
    std::vector<XVertex> vertices_;
    std::vector<Triangle> triangles_;
    std::vector<XMaterial> materials_;
    std::unordered_map<std::string, XMaterial> named_;
    std::optional<std::uint32_t> defaultMaterial_;
};

}  // namespace

Result<XMeshFile> ReadXFile(const std::string& bytes) {
    if (bytes.size() < 16 || bytes.compare(0, 4, "xof ") != 0) return Failure("not a DirectX .x file");
    const std::string format = bytes.substr(8, 4), floats = bytes.substr(12, 4);
    if (floats != "0032" && floats != "0064") return Failure("unknown float size '" + floats + "'");
    const bool binary = format == "bin " || format == "bzip";
    if (!binary && format != "txt " && format != "tzip") return Failure("unknown format '" + format + "'");
    std::string body;
    if (format == "tzip" || format == "bzip") {
        Result<std::string> inflated = InflateMsZip(bytes, kMeshFileLimit);
        if (!inflated.ok) return inflated;
        body = std::move(inflated.value);
    } else {
        body = bytes.substr(16);
    }
    Parser parser(body, binary, floats == "0064");
    XMeshFile out;
    try {
        parser.File();
        parser.Finish(out);
    } catch (const ReadError& error) {
        return Failure(parser.Where() + ": " + error.reason);
    }
    return out;
}
