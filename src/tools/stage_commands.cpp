// check, export-json and format: the editor's own stage loading and writing, run from the command line.
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>

#include "app/application.h"
#include "app/manager.h"
#ifdef _WIN32
#include "platform/win32/win32_platform.h"
#else
#include "platform/headless/headless_platform.h"
#endif
#include "resource/model_manager.h"
#include "scene/stage.h"
#include "stagefile/stage_json.h"
#include "stagefile/stage_text_writer.h"
#include "tools/commands.h"

namespace {

// The editor started headless when the working directory has catalogs, so that loaded objects find their
// models as they do in the editor. Without catalogs (or if they cannot be started) the commands still run.
class CatalogSession {
public:
    CatalogSession() {
        if (!std::filesystem::exists("Data/FILE/model.json")) return;
        std::string error;
        started_ = StartEditor(platform_, error);
    }
    ~CatalogSession() {
        if (started_) StopEditor();
    }
    CatalogSession(const CatalogSession&) = delete;
    CatalogSession& operator=(const CatalogSession&) = delete;

    CModelManager* Models() const { return started_ ? CManager::GetInstance()->GetModelManager() : nullptr; }

private:
#ifdef _WIN32
    CWin32Platform platform_{GetModuleHandleA(nullptr), SW_HIDE, CWin32Platform::Mode::Hidden};
#else
    CHeadlessPlatform platform_;
#endif
    bool started_ = false;
};

int Usage(std::ostream& err, const char* form) {
    err << "usage: vellumar-tool " << form << "\n";
    return 2;
}

int Fail(std::ostream& err, const FileResult& result) {
    err << result.Describe() << "\n";
    return 1;
}

// The text has gone to the stream; a write that failed (a full disk, a closed pipe) shows only once the
// stream is flushed, so that is where success is decided.
int Finish(std::ostream& out, std::ostream& err) {
    if (out) {
        errno = 0;
        out.flush();
    }
    if (out) return 0;
    err << "standard output: error: cannot write: " << (errno ? std::strerror(errno) : "write failed") << "\n";
    return 1;
}

// Model labels of the stage that the catalog does not hold, with how many objects use each.
std::map<std::string, std::size_t> UnknownModels(const StageGroups& groups, const CModelManager& models) {
    std::map<std::string, std::size_t> unknown;
    for (const auto& [tag, objects] : groups)
        for (const StageObject& object : objects)
            if (!models.GetMesh(object.part.ModelLabel)) ++unknown[object.part.ModelLabel];
    return unknown;
}

}  // namespace

int RunCheck(const ToolArgs& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 1) return Usage(err, "check FILE");
    CatalogSession catalogs;
    CStage stage;
    FileResult result = stage.LoadTextFile(nullptr, args[0]);
    if (!result.ok) return Fail(err, result);
    // A file is ok when the editor can load it and save it again.
    FileResult writable = CheckStageText(stage.Groups());
    if (!writable.ok) {
        writable.path = args[0];
        return Fail(err, writable);
    }
    // Objects whose model is missing are kept by the editor (and not drawn), so they only warrant a warning.
    if (const CModelManager* models = catalogs.Models())
        for (const auto& [label, count] : UnknownModels(stage.Groups(), *models))
            err << args[0] << ": warning: model \"" << label << "\" is not in the model catalog (" << count
                << (count == 1 ? " object)\n" : " objects)\n");
    out << "ok: " << result.groups << " groups, " << result.objects << " objects\n";
    return 0;
}

int RunExportJson(const ToolArgs& args, std::ostream& out, std::ostream& err) {
    if (args.empty() || args.size() > 2) return Usage(err, "export-json FILE [OUT]");
    CatalogSession catalogs;
    CStage stage;
    FileResult result = stage.LoadTextFile(nullptr, args[0]);
    if (!result.ok) return Fail(err, result);
    if (args.size() == 2) {
        FileResult saved = SaveJsonFile(stage.Groups(), args[1]);
        return saved.ok ? 0 : Fail(err, saved);
    }
    std::string text;
    FileResult dumped = DumpStageJson(stage.Groups(), text);
    if (!dumped.ok) {
        dumped.path = args[0];
        return Fail(err, dumped);
    }
    errno = 0;
    out << text;
    return Finish(out, err);
}

int RunFormat(const ToolArgs& args, std::ostream& out, std::ostream& err) {
    if (args.empty() || args.size() > 2) return Usage(err, "format FILE [OUT]");
    CatalogSession catalogs;
    CStage stage;
    FileResult result = stage.LoadTextFile(nullptr, args[0]);
    if (!result.ok) return Fail(err, result);
    if (args.size() == 2) {
        FileResult saved = stage.SaveTextFile(args[1]);
        return saved.ok ? 0 : Fail(err, saved);
    }
    FileResult written = WriteStageText(stage.Groups(), out);
    if (!written.ok) {
        // Either the stage cannot be written as text, or the output took no more bytes.
        written.path = out ? args[0] : "standard output";
        return Fail(err, written);
    }
    return Finish(out, err);
}
