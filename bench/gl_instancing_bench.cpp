// The OpenGL device drawing 10,000 objects of the sample catalog (eight models, 1,250 each, every one in
// view), against the same meshes with the same matrices drawn directly in OpenGL as one instanced call per
// mesh subset, in the same run. Each frame is cleared, drawn and waited for (glFinish). The device is given
// the objects model by model, subset by subset, as one instanced run each; "mixed" gives them object by
// object with the models interleaved, for comparison: on this dense grid neighbours share screen cells, so
// few draws can pass one another and most go one by one.
// Needs a display: scripts/bench runs it on a virtual X server.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "d3d/memory_mesh.h"
#include "platform/sdl/gl_device.h"
#include "platform/sdl/gl_resources.h"
#include "platform/sdl/sdl_platform.h"
#include "run_benchmarks.h"

namespace {

constexpr int kObjects = 10000;
constexpr UINT kWidth = 1280, kHeight = 720;
const char* const kModels[] = {"sphere", "box", "cylinder", "cone", "crate", "house", "tree", "floor"};
constexpr int kModelCount = 8;

struct Model {
    ID3DXMesh* mesh = nullptr;
    std::vector<D3DMATERIAL9> materials;         // one per subset
    std::vector<IDirect3DTexture9*> textures;    // one per subset, null for none
    std::vector<D3DXMATRIX> worlds;              // of its objects
};

// The device, the catalog and the objects' places, with the fixed states the editor's renderer draws with.
class Scene {
public:
    bool Open(std::string& error) {
        if (!platform_.GetWindow()) return error = platform_.GetLastError(), false;
        d3d_ = platform_.Direct3DCreate9(D3D_SDK_VERSION);
        D3DPRESENT_PARAMETERS parameters{};
        parameters.BackBufferWidth = kWidth;
        parameters.BackBufferHeight = kHeight;
        parameters.Windowed = TRUE;
        IDirect3DDevice9* device = nullptr;
        if (!d3d_ || FAILED(d3d_->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, platform_.GetWindow(), 0,
                                                &parameters, &device)))
            return error = "no OpenGL device: " + platform_.GetLastError(), false;
        device_ = static_cast<CGlDevice*>(device);

        std::map<std::string, IDirect3DTexture9*> textures;
        for (const char* name : kModels) {
            Model& model = models_.emplace_back();
            ID3DXBuffer* materials = nullptr;
            DWORD count = 0;
            const std::string path = std::string("Data/model/") + name + ".x";
            if (FAILED(D3DXLoadMeshFromXA(path.c_str(), D3DXMESH_SYSTEMMEM, device_, nullptr, &materials, nullptr,
                                          &count, &model.mesh)))
                return error = "cannot load " + path, false;
            const auto* list = materials ? static_cast<const D3DXMATERIAL*>(materials->GetBufferPointer()) : nullptr;
            for (DWORD m = 0; m < std::max<DWORD>(count, 1); ++m) {
                D3DMATERIAL9 plain{};
                plain.Diffuse = plain.Ambient = {0.7f, 0.7f, 0.7f, 1.0f};
                model.materials.push_back(list && m < count ? list[m].MatD3D : plain);
                IDirect3DTexture9* texture = nullptr;
                if (list && m < count && list[m].pTextureFilename) {
                    std::string file = list[m].pTextureFilename;
                    for (char& c : file) c = c == '\\' ? '/' : c;
                    auto [it, added] = textures.try_emplace(file, nullptr);
                    if (added && FAILED(D3DXCreateTextureFromFileA(device_, file.c_str(), &it->second)))
                        return error = "cannot load " + file, false;
                    texture = it->second;
                }
                model.textures.push_back(texture);
            }
            if (materials) materials->Release();
        }
        for (auto& [file, texture] : textures) textures_.push_back(texture);

        // A 100 x 100 grid of objects seen from above at a slant, the models taking turns along each row.
        for (int i = 0; i < kObjects; ++i) {
            D3DXMATRIX scale, turn, place, world;
            D3DXMatrixScaling(&scale, 0.05f, 0.05f, 0.05f);
            D3DXMatrixRotationY(&turn, 0.37f * static_cast<float>(i));
            D3DXMatrixTranslation(&place, static_cast<float>(i % 100) - 49.5f, 0.0f, static_cast<float>(i / 100) - 49.5f);
            D3DXMatrixMultiply(&world, &scale, &turn);
            D3DXMatrixMultiply(&world, &world, &place);
            models_[i % kModelCount].worlds.push_back(world);
            order_.push_back({i % kModelCount, static_cast<int>(models_[i % kModelCount].worlds.size()) - 1});
        }
        D3DXVECTOR3 eye(0, 90, -80), at(0, 0, 0), up(0, 1, 0);
        D3DXMatrixLookAtLH(&view_, &eye, &at, &up);
        D3DXMatrixPerspectiveFovLH(&projection_, 3.14159265f / 4, float(kWidth) / kHeight, 1.0f, 500.0f);
        device_->SetTransform(D3DTS_VIEW, &view_);
        device_->SetTransform(D3DTS_PROJECTION, &projection_);
        light_.Type = D3DLIGHT_DIRECTIONAL;
        light_.Diffuse = {1, 1, 1, 1};
        light_.Ambient = {0.3f, 0.3f, 0.3f, 1};
        light_.Direction = {0.3f, -0.8f, 0.5f};
        device_->SetLight(0, &light_);
        device_->LightEnable(0, TRUE);
        device_->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        device_->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESS);
        device_->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
        device_->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
        device_->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
        return true;
    }

    ~Scene() {
        for (Model& model : models_) SafeRelease(model.mesh);
        for (IDirect3DTexture9* texture : textures_) texture->Release();
        SafeRelease(device_);
        SafeRelease(d3d_);
    }

    void DrawOne(int model, DWORD subset, int object) {
        Model& m = models_[static_cast<std::size_t>(model)];
        device_->SetTransform(D3DTS_WORLD, &m.worlds[static_cast<std::size_t>(object)]);
        device_->SetMaterial(&m.materials[subset]);
        device_->SetTexture(0, m.textures[subset]);
        m.mesh->DrawSubset(subset);
    }

    // Through the device: model by model and subset by subset, or object by object in the grid's order.
    void DrawThroughDevice(bool mixed) {
        device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        device_->BeginScene();
        if (mixed) {
            for (auto [model, object] : order_)
                for (DWORD s = 0; s < models_[static_cast<std::size_t>(model)].materials.size(); ++s)
                    DrawOne(model, s, object);
        } else {
            for (int model = 0; model < kModelCount; ++model)
                for (DWORD s = 0; s < models_[static_cast<std::size_t>(model)].materials.size(); ++s)
                    for (std::size_t o = 0; o < models_[static_cast<std::size_t>(model)].worlds.size(); ++o)
                        DrawOne(model, s, static_cast<int>(o));
        }
        device_->EndScene();
        glFinish();
    }

    CGlDevice* Device() { return device_; }
    std::vector<Model>& Models() { return models_; }
    const D3DXMATRIX& View() const { return view_; }
    const D3DXMATRIX& Projection() const { return projection_; }
    const D3DLIGHT9& Light() const { return light_; }

private:
    CSdlPlatform platform_;
    IDirect3D9* d3d_ = nullptr;
    CGlDevice* device_ = nullptr;
    std::vector<Model> models_;
    std::vector<IDirect3DTexture9*> textures_;
    std::vector<std::pair<int, int>> order_;
    D3DXMATRIX view_, projection_;
    D3DLIGHT9 light_{};
};

// The same meshes and matrices drawn directly in OpenGL: the device's shader program, one vertex array per
// model, each subset one glDrawElementsInstanced with its objects' matrices uploaded that frame.
class DirectDrawing {
public:
    bool Build(Scene& scene, std::string& error) {
        if (!program_.Build(error)) return false;
        sampler_ = GlSampler::Generate();
        glSamplerParameteri(sampler_.Get(), GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glSamplerParameteri(sampler_.Get(), GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        // The light's way in camera space, turned round: from the surface toward the light.
        const D3DVECTOR& d = scene.Light().Direction;
        const D3DXMATRIX& v = scene.View();
        D3DXVECTOR3 toward(-(d.x * v._11 + d.y * v._21 + d.z * v._31), -(d.x * v._12 + d.y * v._22 + d.z * v._32),
                           -(d.x * v._13 + d.y * v._23 + d.z * v._33));
        D3DXVec3Normalize(&toward, &toward);
        for (Model& model : scene.Models()) {
            const MeshData& data = static_cast<CMemoryMesh*>(model.mesh)->Data();
            Mesh& mesh = meshes_.emplace_back();
            mesh.vertexArray = GlVertexArray::Generate();
            mesh.vertices = GlBuffer::Generate();
            mesh.indices = GlBuffer::Generate();
            mesh.instances = GlBuffer::Generate();
            glBindVertexArray(mesh.vertexArray.Get());
            glBindBuffer(GL_ARRAY_BUFFER, mesh.vertices.Get());
            glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(data.vertices.size() * sizeof(MeshVertex)),
                         data.vertices.data(), GL_STATIC_DRAW);
            glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, mesh.indices.Get());
            glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(data.indices.size() * sizeof(std::uint32_t)),
                         data.indices.data(), GL_STATIC_DRAW);
            const auto stride = static_cast<GLsizei>(sizeof(MeshVertex));
            const std::pair<GLuint, std::size_t> attributes[] = {{kAttribPosition, offsetof(MeshVertex, pos)},
                                                                 {kAttribNormal, offsetof(MeshVertex, normal)},
                                                                 {kAttribTexCoord, offsetof(MeshVertex, uv)}};
            for (auto [slot, offset] : attributes) {
                glEnableVertexAttribArray(slot);
                glVertexAttribPointer(slot, slot == kAttribTexCoord ? 2 : 3, GL_FLOAT, GL_FALSE, stride,
                                      reinterpret_cast<const void*>(offset));
            }
            CGlFixedFunction::AttachInstances(mesh.instances.Get());
            glBindVertexArray(0);
            for (const D3DXMATRIX& world : model.worlds) {
                D3DXMATRIX worldView;
                D3DXMatrixMultiply(&worldView, &world, &scene.View());
                MakeInstanceTransform(worldView, mesh.matrices.emplace_back());
            }
            for (std::size_t s = 0; s < model.materials.size(); ++s) {
                FixedFunctionInputs in;
                in.projection = scene.Projection();
                in.pixelOffset[0] = 1.0f / kWidth;
                in.pixelOffset[1] = -1.0f / kHeight;
                in.material = model.materials[s];
                in.lightCount = 1;
                in.lightToward[0][0] = toward.x, in.lightToward[0][1] = toward.y, in.lightToward[0][2] = toward.z;
                in.lightDiffuse[0] = scene.Light().Diffuse;
                in.lightAmbient[0] = scene.Light().Ambient;
                in.stageActive = true;
                in.colorOp = in.alphaOp = D3DTOP_MODULATE;
                in.colorArg1 = in.alphaArg1 = D3DTA_TEXTURE;
                in.colorArg2 = in.alphaArg2 = D3DTA_CURRENT;
                in.stageActive = model.textures[s] != nullptr;
                const D3DXATTRIBUTERANGE* range = nullptr;
                for (const D3DXATTRIBUTERANGE& r : data.attributes)
                    if (r.AttribId == s) range = &r;
                const auto* texture = dynamic_cast<const CGlTexture*>(model.textures[s]);
                mesh.subsets.push_back({in, range ? range->FaceStart * 3 : 0, range ? range->FaceCount * 3 : 0,
                                        texture ? texture->Name() : 0});
            }
        }
        return true;
    }

    void Draw(CGlDevice* device) {
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        glViewport(0, 0, kWidth, kHeight);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LESS);
        glDepthMask(GL_TRUE);
        glEnable(GL_CULL_FACE);
        glFrontFace(GL_CW);
        glCullFace(GL_BACK);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glActiveTexture(GL_TEXTURE0);
        glBindSampler(0, sampler_.Get());
        for (Mesh& mesh : meshes_) {
            glBindBuffer(GL_ARRAY_BUFFER, mesh.instances.Get());
            glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(mesh.matrices.size() * sizeof(InstanceTransform)),
                         mesh.matrices.data(), GL_STREAM_DRAW);
            glBindVertexArray(mesh.vertexArray.Get());
            for (const Subset& subset : mesh.subsets) {
                if (subset.count == 0) continue;
                program_.Use(subset.inputs);
                glBindTexture(GL_TEXTURE_2D, subset.texture);
                glDrawElementsInstanced(GL_TRIANGLES, static_cast<GLsizei>(subset.count), GL_UNSIGNED_INT,
                                        reinterpret_cast<const void*>(std::uintptr_t{subset.start} * 4),
                                        static_cast<GLsizei>(mesh.matrices.size()));
            }
            glBindVertexArray(0);
        }
        glFinish();
    }

private:
    struct Subset {
        FixedFunctionInputs inputs;
        DWORD start, count;
        GLuint texture;
    };
    struct Mesh {
        GlVertexArray vertexArray;
        GlBuffer vertices, indices, instances;
        std::vector<InstanceTransform> matrices;
        std::vector<Subset> subsets;
    };
    CGlFixedFunction program_;
    GlSampler sampler_;
    std::vector<Mesh> meshes_;
};

Scene* OpenScene(benchmark::State& state) {
    static std::unique_ptr<Scene> scene;  // one window and device for the whole program
    if (!scene) {
        scene = std::make_unique<Scene>();
        std::string error;
        if (!scene->Open(error)) {
            state.SkipWithError(("cannot set up: " + error).c_str());
            scene.reset();
        }
    }
    return scene.get();
}

void BM_DirectInstancedBaseline(benchmark::State& state) {
    Scene* scene = OpenScene(state);
    if (!scene) return;
    DirectDrawing direct;
    std::string error;
    if (!direct.Build(*scene, error)) return state.SkipWithError(error.c_str());
    for (auto _ : state) direct.Draw(scene->Device());
}

void BM_DeviceByModel(benchmark::State& state) {
    Scene* scene = OpenScene(state);
    if (!scene) return;
    const std::size_t before = scene->Device()->InstancedCalls();
    for (auto _ : state) scene->DrawThroughDevice(false);
    state.counters["calls"] =
        static_cast<double>(scene->Device()->InstancedCalls() - before) / static_cast<double>(state.iterations());
}

void BM_DeviceMixed(benchmark::State& state) {
    Scene* scene = OpenScene(state);
    if (!scene) return;
    const std::size_t before = scene->Device()->InstancedCalls();
    for (auto _ : state) scene->DrawThroughDevice(true);
    state.counters["calls"] =
        static_cast<double>(scene->Device()->InstancedCalls() - before) / static_cast<double>(state.iterations());
}

BENCHMARK(BM_DirectInstancedBaseline)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DeviceByModel)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DeviceMixed)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

class RatioReporter : public CRatioReporter {
    void Ratios() override {
        const char* const base = "BM_DirectInstancedBaseline";
        if (!Ran({base})) return;
        for (const auto& [name, ms] : AllMs())
            if (name != base) std::printf("%-28s %8.2f ms, %5.2fx the direct instanced drawing\n", name.c_str(), ms, ms / Ms(base));
        if (Ran({"BM_DeviceByModel"}))
            std::printf("device, model by model: %.2fx the direct instanced drawing (target: at most 1.5x)\n",
                        Ms("BM_DeviceByModel") / Ms(base));
    }
};

}  // namespace

int main(int argc, char** argv) {
    RatioReporter reporter;
    return RunBenchmarks(argc, argv, reporter);
}
