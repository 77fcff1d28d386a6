#include <cstdio>
#include <cstring>
#include <iostream>

#include "base/system_names.h"
#include "tools/commands.h"

namespace {

int Usage(std::ostream& err) {
    err << "usage: vellumar-tool COMMAND ARGS\n"
           "  check FILE                 read a stage text file; print its size or its first error\n"
           "  export-json FILE [OUT]     write the JSON export of a stage text file\n"
           "  format FILE [OUT]          write a stage text file back in canonical form\n"
           "  mesh-info FILE.x           print a mesh's vertices, faces, materials, bounds and textures\n"
           "  texture-info FILE          print a texture's format, size and levels, or why it is refused\n"
           "  effect-info FILE.fx        print an effect's techniques and parameters, or its first error\n"
           "  check-assets [DIR]         check the catalogs of DIR and every file they name\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    // The same bytes as on every other system: no line ends rewritten on the way out.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    // File names as typed, in UTF-8 like everywhere else: main's argv holds them in the ANSI code page.
    (void)argc;
    (void)argv;
    const std::vector<std::string> words = CommandLineUtf8();
#else
    const std::vector<std::string> words(argv, argv + argc);
#endif
    if (words.size() < 2) return Usage(std::cerr);
    ToolArgs args(words.begin() + 2, words.end());
    const char* command = words[1].c_str();
    if (!std::strcmp(command, "mesh-info")) return RunMeshInfo(args, std::cout, std::cerr);
    if (!std::strcmp(command, "check")) return RunCheck(args, std::cout, std::cerr);
    if (!std::strcmp(command, "export-json")) return RunExportJson(args, std::cout, std::cerr);
    if (!std::strcmp(command, "format")) return RunFormat(args, std::cout, std::cerr);
    if (!std::strcmp(command, "texture-info")) return RunTextureInfo(args, std::cout, std::cerr);
    if (!std::strcmp(command, "effect-info")) return RunEffectInfo(args, std::cout, std::cerr);
    if (!std::strcmp(command, "check-assets")) return RunCheckAssets(args, std::cout, std::cerr);
    return Usage(std::cerr);
}
