// Stage files on a generated stage of 100,000 objects in 10 groups: load, text save and JSON export, each
// beside a baseline measured in the same run, and the peak memory of a load. Prints the ratios at the end.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>
#include <nlohmann/json.hpp>
#include <random>
#include <streambuf>
#include <string>

#include "scene/stage.h"
#include "stagefile/stage_json.h"
#include "stagefile/stage_text_writer.h"
#include "run_benchmarks.h"

// ---- allocation tracking, for the peak memory of a load ----
namespace {
bool tracking = false;
std::size_t liveBytes = 0;
std::size_t peakBytes = 0;

void* Allocate(std::size_t size) {
    void* p = std::malloc(size ? size : 1);
    if (!p) throw std::bad_alloc();
    if (tracking) {
        liveBytes += malloc_usable_size(p);
        if (liveBytes > peakBytes) peakBytes = liveBytes;
    }
    return p;
}
void Free(void* p) {
    if (!p) return;
    if (tracking) liveBytes -= std::min(liveBytes, malloc_usable_size(p));
    std::free(p);
}
}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void operator delete(void* p) noexcept { Free(p); }
void operator delete[](void* p) noexcept { Free(p); }
void operator delete(void* p, std::size_t) noexcept { Free(p); }
void operator delete[](void* p, std::size_t) noexcept { Free(p); }

namespace {

constexpr int kGroups = 10;
constexpr int kObjects = 100'000;

const StageGroups& Stage() {
    static const StageGroups groups = [] {
        StageGroups g;
        std::mt19937 random(12345);
        std::uniform_real_distribution<float> position(-1000.0f, 1000.0f), angle(-3.14159f, 3.14159f),
            scale(0.1f, 4.0f);
        const char* models[] = {"SPHERE", "box", "cylinder", "cone", "crate", "house", "tree", "floor"};
        for (int i = 0; i < kObjects; ++i) {
            StageObject object;
            ObjectPart& part = object.part;
            part.Pos = {position(random), position(random), position(random)};
            part.Rot = {angle(random), angle(random), angle(random)};
            part.Scale = i % 3 ? D3DXVECTOR3(1, 1, 1) : D3DXVECTOR3(scale(random), scale(random), scale(random));
            part.ModelLabel = models[i % 8];
            if (i % 2) part.ObjectLabel = "object " + std::to_string(i);
            g["group " + std::to_string(i % kGroups)].push_back(object);
        }
        return g;
    }();
    return groups;
}

const std::string& StageFile() {
    static const std::string path = [] {
        std::string p = (std::filesystem::temp_directory_path() / "vellumar-bench-stage.txt").string();
        std::ofstream out(p, std::ios::binary);
        WriteStageText(Stage(), out);
        return p;
    }();
    return path;
}

// An output stream that appends to a string, as cheap a sink as the baselines write into.
class StringSink : public std::streambuf {
public:
    explicit StringSink(std::string& text) : text_(text) {}

protected:
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        text_.append(s, static_cast<std::size_t>(n));
        return n;
    }
    int_type overflow(int_type c) override {
        if (c != traits_type::eof()) text_.push_back(static_cast<char>(c));
        return c;
    }

private:
    std::string& text_;
};

// ---- load ----

void BM_LoadBaseline(benchmark::State& state) {
    for (auto _ : state) {
        std::ifstream in(StageFile(), std::ios::binary);
        std::string line;
        float sum = 0;
        long count = 0;
        while (std::getline(in, line)) {
            std::size_t colon = line.find(':');
            if (colon == std::string::npos) continue;
            const char* p = line.c_str() + colon + 1;
            char* end = nullptr;
            switch (line[0]) {
                case 'I':
                    count += std::strtol(p, &end, 10);
                    break;
                case 'P':
                case 'R':
                case 'S':
                    for (int k = 0; k < 3; ++k) {
                        sum += std::strtof(p, &end);
                        p = end;
                        while (*p == ' ' || *p == ',') ++p;
                    }
                    break;
                default:
                    break;
            }
        }
        benchmark::DoNotOptimize(sum);
        benchmark::DoNotOptimize(count);
    }
}

void BM_Load(benchmark::State& state) {
    for (auto _ : state) {
        auto* stage = new CStage();
        FileResult result = stage->LoadTextFile(nullptr, StageFile());
        if (!result.ok || result.objects != kObjects) state.SkipWithError(result.Describe().c_str());
        state.PauseTiming();
        delete stage;
        state.ResumeTiming();
    }
}

// ---- text save ----

void BM_TextSaveBaseline(benchmark::State& state) {
    std::string text;
    for (auto _ : state) {
        text.clear();
        char digits[32];
        for (const auto& [tag, objects] : Stage()) {
            for (std::size_t i = 0; i < objects.size(); ++i) {
                const ObjectPart& part = objects[i].part;
                text.append(digits, std::to_chars(digits, digits + 32, i).ptr);
                text.push_back('\n');
                for (const D3DXVECTOR3* v : {&part.Pos, &part.Rot, &part.Scale})
                    for (float f : {v->x, v->y, v->z}) {
                        text.append(digits, std::to_chars(digits, digits + 32, f, std::chars_format::general).ptr);
                        text.push_back(' ');
                    }
            }
        }
        benchmark::DoNotOptimize(text.data());
    }
}

void BM_TextSave(benchmark::State& state) {
    std::string text;
    for (auto _ : state) {
        text.clear();
        StringSink sink(text);
        std::ostream out(&sink);
        FileResult result = WriteStageText(Stage(), out);
        if (!result.ok) state.SkipWithError(result.message.c_str());
        benchmark::DoNotOptimize(text.data());
    }
}

// ---- JSON export ----

void BM_JsonExportBaseline(benchmark::State& state) {
    nlohmann::json document;
    std::size_t t = 0;
    for (const auto& [tag, objects] : Stage()) {
        document["STAGE"][t]["Level"] = tag;
        for (std::size_t i = 0; i < objects.size(); ++i) {
            const ObjectPart& p = objects[i].part;
            auto vec = [](const D3DXVECTOR3& v) {
                return nlohmann::json{{"X", double(v.x)}, {"Y", double(v.y)}, {"Z", double(v.z)}};
            };
            document["STAGE"][t]["Object"][i] = {{"ID", i},          {"ModelLabel", p.ModelLabel}, {"ObjectLabel", p.ObjectLabel},
                                                 {"Pos", vec(p.Pos)}, {"Rot", vec(p.Rot)},           {"Scale", vec(p.Scale)}};
        }
        ++t;
    }
    for (auto _ : state) {
        std::string text = document.dump();
        benchmark::DoNotOptimize(text.data());
    }
}

void BM_JsonExport(benchmark::State& state) {
    for (auto _ : state) {
        std::string text;
        FileResult result = DumpStageJson(Stage(), text);
        if (!result.ok) state.SkipWithError(result.message.c_str());
        benchmark::DoNotOptimize(text.data());
    }
}

BENCHMARK(BM_LoadBaseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextSaveBaseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextSave)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JsonExportBaseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JsonExport)->Unit(benchmark::kMillisecond);

// The summary compares CPU times: on a machine shared with other work the process's own time is the
// steadier measure.
class RatioReporter : public CRatioReporter {
    void Ratios() override {
        std::printf("\n");
        Line("load", "Load", 2.5);
        Line("text save", "TextSave", 2.0);
        Line("JSON export", "JsonExport", 1.5);
    }
    void Line(const char* what, const std::string& name, double target) {
        const std::string ours = "BM_" + name, base = "BM_" + name + "Baseline";
        if (!Ran({ours, base})) return;
        const double ratio = Ms(ours) / Ms(base);
        std::printf("%-12s %8.2f ms CPU  baseline %8.2f ms CPU  ratio %.2f  (target <= %.1f: %s)\n", what, Ms(ours),
                    Ms(base), ratio, target, ratio <= target ? "met" : "MISSED");
    }
};

// The most memory live at once during one load, beyond what was live before it.
void PrintPeakMemory() {
    std::uintmax_t fileSize = std::filesystem::file_size(StageFile());
    liveBytes = peakBytes = 0;
    tracking = true;
    {
        CStage stage;
        stage.LoadTextFile(nullptr, StageFile());
    }
    tracking = false;
    std::printf("peak memory of a load: %.1f MB (file %.1f MB, %d objects in %d groups)\n", peakBytes / 1048576.0,
                fileSize / 1048576.0, kObjects, kGroups);
}

}  // namespace

int main(int argc, char** argv) {
    RatioReporter reporter;
    if (int status = RunBenchmarks(argc, argv, reporter); status != 0) return status;
    PrintPeakMemory();
    std::remove(StageFile().c_str());
    return 0;
}
