// vellumar-tool texture-info FILE and effect-info FILE.fx: what the editor would make of one texture or
// effect file, as one JSON object, or the reason it refuses it. Both are read by our own readers, so no
// device is needed on any system.
#include <nlohmann/json.hpp>

#include "tools/asset_files.h"
#include "tools/commands.h"

int RunTextureInfo(const ToolArgs& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 1) {
        err << "usage: vellumar-tool texture-info FILE\n";
        return 2;
    }
    Result<DecodedImage> image = ReadTextureFile(args[0]);
    if (!image.ok) {
        err << image.Describe() << '\n';
        return 1;
    }
    const DecodedLevel& top = image.value.levels.front();
    const nlohmann::ordered_json info = {{"format", image.value.format},
                                 {"shape", image.value.shape},
                                 {"width", top.width},
                                 {"height", top.height},
                                 {"levels", static_cast<std::uint32_t>(image.value.levels.size())}};
    out << info.dump() << '\n';
    return 0;
}

int RunEffectInfo(const ToolArgs& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 1) {
        err << "usage: vellumar-tool effect-info FILE.fx\n";
        return 2;
    }
    const Result<EffectDescription> effect = ReadEffectFile(args[0]);
    if (!effect.ok) {
        err << effect.Describe() << '\n';
        return 1;
    }
    const nlohmann::ordered_json info = {{"techniques", effect.value.techniques}, {"parameters", effect.value.parameters}};
    out << info.dump() << '\n';
    return 0;
}
