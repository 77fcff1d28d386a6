// The three catalog files through the real start-up on the headless platform. The input is split at its
// first two form feeds into model.json, texture.json and shader.json, written into a folder of their own
// whose other Data folders are the sample meshes, textures and effects; start-up must then succeed (a bad
// catalog is reported, never fatal), one frame must run, and everything must be released.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/application.h"
#include "platform/headless/headless_platform.h"

namespace fs = std::filesystem;

namespace {

// The folder the catalogs are written to, made once; the sample data comes from the working directory
// the fuzzer was started in (the repository root).
const fs::path& Folder() {
    static const fs::path folder = [] {
        const fs::path samples = fs::absolute("Data");
        std::string pattern = (fs::temp_directory_path() / "vellumar-catalog-fuzz.XXXXXX").string();
        if (!mkdtemp(pattern.data())) std::abort();
        const fs::path made(pattern);
        fs::create_directories(made / "Data/FILE");
        for (const char* data : {"model", "texture", "shader"})
            if (fs::exists(samples / data)) fs::create_directory_symlink(samples / data, made / "Data" / data);
        std::atexit([] { fs::remove_all(Folder()); });
        return made;
    }();
    return folder;
}

void WriteFile(const fs::path& path, const std::string& content) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fs::path& folder = Folder();
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::string parts[3];
    std::size_t start = 0;
    for (int i = 0; i < 3; ++i) {
        const std::size_t end = i < 2 ? input.find('\f', start) : std::string::npos;
        parts[i] = input.substr(start, end == std::string::npos ? std::string::npos : end - start);
        start = end == std::string::npos ? input.size() : end + 1;
    }
    WriteFile(folder / "Data/FILE/model.json", parts[0]);
    WriteFile(folder / "Data/FILE/texture.json", parts[1]);
    WriteFile(folder / "Data/FILE/shader.json", parts[2]);

    // The catalog paths are relative to the working directory; libFuzzer's own paths are relative to the
    // one it was started in, so the change lasts only for this run.
    const fs::path started = fs::current_path();
    fs::current_path(folder);
    CHeadlessPlatform platform;
    std::string error;
    if (!StartEditor(platform, error)) std::abort();
    CFrameLoop loop(platform);
    platform.Advance(CFrameLoop::kFrameInterval);
    loop.RunFrame();
    StopEditor();
    fs::current_path(started);
    return 0;
}
