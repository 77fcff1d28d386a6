// check, export-json and format: stage files read and written by the stage document, as the editor reads
// and writes them, and the model catalog's labels read from its file. No window, no device, no editor.
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>

#include "base/system_names.h"
#include "document/stage_document.h"
#include "resource/model_catalog_file.h"
#include "stagefile/stage_json.h"
#include "stagefile/stage_text_writer.h"
#include "tools/commands.h"

namespace {

const char* const kModelCatalog = "Data/FILE/model.json";

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
std::map<std::string, std::size_t> UnknownModels(const StageGroups& groups, const std::set<std::string>& models) {
    std::map<std::string, std::size_t> unknown;
    for (const auto& [tag, objects] : groups)
        for (const StageObject& object : objects)
            if (!models.count(object.part.ModelLabel)) ++unknown[object.part.ModelLabel];
    return unknown;
}

}  // namespace

int RunCheck(const ToolArgs& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 1) return Usage(err, "check FILE");
    // Without a catalog in the working directory nothing is said about models.
    const bool hasCatalog = std::filesystem::exists(PathFromUtf8(kModelCatalog));
    std::vector<std::string> problems;
    const std::set<std::string> models = hasCatalog ? ReadModelLabels(kModelCatalog, problems) : std::set<std::string>();
    // Every command reads the file as the editor's "LoadText" does, into an empty document of its own.
    CStageDocument document;
    FileResult result = document.ReadTextFile(args[0], false, nullptr);
    if (!result.ok) return Fail(err, result);
    const StageGroups& groups = document.Groups();
    // A file is ok when the editor can load it and save it again.
    FileResult writable = CheckStageText(groups);
    if (!writable.ok) {
        writable.path = args[0];
        return Fail(err, writable);
    }
    // Objects whose model is missing are kept by the editor (and not drawn), so they only warrant a warning.
    if (hasCatalog)
        for (const auto& [label, count] : UnknownModels(groups, models))
            err << args[0] << ": warning: model \"" << label << "\" is not in the model catalog (" << count
                << (count == 1 ? " object)\n" : " objects)\n");
    out << "ok: " << result.groups << " groups, " << result.objects << " objects\n";
    return 0;
}

int RunExportJson(const ToolArgs& args, std::ostream& out, std::ostream& err) {
    if (args.empty() || args.size() > 2) return Usage(err, "export-json FILE [OUT]");
    CStageDocument document;
    FileResult result = document.ReadTextFile(args[0], false, nullptr);
    if (!result.ok) return Fail(err, result);
    const StageGroups& groups = document.Groups();
    if (args.size() == 2) {
        FileResult saved = SaveJsonFile(groups, args[1]);
        return saved.ok ? 0 : Fail(err, saved);
    }
    std::string text;
    FileResult dumped = DumpStageJson(groups, text);
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
    CStageDocument document;
    FileResult result = document.ReadTextFile(args[0], false, nullptr);
    if (!result.ok) return Fail(err, result);
    const StageGroups& groups = document.Groups();
    if (args.size() == 2) {
        FileResult saved = document.SaveTextFile(args[1]);
        return saved.ok ? 0 : Fail(err, saved);
    }
    FileResult written = WriteStageText(groups, out);
    if (!written.ok) {
        // Either the stage cannot be written as text, or the output took no more bytes.
        written.path = out ? args[0] : "standard output";
        return Fail(err, written);
    }
    return Finish(out, err);
}
