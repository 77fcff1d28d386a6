#include "stagefile/stage_json.h"

#include <nlohmann/json.hpp>

#include "stagefile/file_replace.h"

namespace {

using nlohmann::json;

// One object element, built once and refilled for every object, so the export costs no more than writing
// the text. Its keys are held in byte order, as the library writes them.
class ObjectElement {
public:
    ObjectElement()
        : element_({{"ID", 0u},
                    {"ModelLabel", ""},
                    {"ObjectLabel", ""},
                    {"Pos", Vector()},
                    {"Rot", Vector()},
                    {"Scale", Vector()}}),
          id_(element_["ID"]),
          modelLabel_(element_["ModelLabel"].get_ref<std::string&>()),
          objectLabel_(element_["ObjectLabel"].get_ref<std::string&>()) {
        BindVector("Pos", pos_);
        BindVector("Rot", rot_);
        BindVector("Scale", scale_);
    }

    const json& Fill(std::size_t index, const ObjectPart& part) {
        id_ = index;
        modelLabel_ = part.ModelLabel;
        objectLabel_ = part.ObjectLabel;
        Set(pos_, part.Pos);
        Set(rot_, part.Rot);
        Set(scale_, part.Scale);
        return element_;
    }

private:
    static json Vector() { return {{"X", 0.0}, {"Y", 0.0}, {"Z", 0.0}}; }
    void BindVector(const char* key, json* (&slots)[3]) {
        json& vector = element_[key];
        slots[0] = &vector["X"];
        slots[1] = &vector["Y"];
        slots[2] = &vector["Z"];
    }
    // Floats are widened to double; the library writes the shortest text that reads back as that double.
    static void Set(json* (&slots)[3], const D3DXVECTOR3& v) {
        *slots[0] = static_cast<double>(v.x);
        *slots[1] = static_cast<double>(v.y);
        *slots[2] = static_cast<double>(v.z);
    }

    json element_;
    json& id_;
    std::string& modelLabel_;
    std::string& objectLabel_;
    json* pos_[3];
    json* rot_[3];
    json* scale_[3];
};

}  // namespace

FileResult DumpStageJson(const StageGroups& groups, std::string& text) {
    FileResult result;
    std::string out;
    if (groups.empty()) {
        out = "null\n";  // the document of no groups
        text = std::move(out);
        return result;
    }
    // The document {"STAGE":[{"Level":tag,"Object":[...]},...]} is written piece by piece with the
    // library's own serializer, so the text is exactly what dump() of the whole document would give.
    nlohmann::detail::serializer<json> serializer(nlohmann::detail::output_adapter<char>(out), ' ');
    auto write = [&](const json& value) { serializer.dump(value, false, false, 0); };
    ObjectElement element;
    json tagValue = "";
    try {
        out += "{\"STAGE\":[";
        bool firstGroup = true;
        for (const auto& [tag, objects] : groups) {
            if (!firstGroup) out += ',';
            firstGroup = false;
            out += "{\"Level\":";
            tagValue.get_ref<std::string&>() = tag;
            write(tagValue);
            if (!objects.empty()) {
                out += ",\"Object\":[";
                for (std::size_t i = 0; i < objects.size(); ++i) {
                    if (i) out += ',';
                    write(element.Fill(i, objects[i].part));
                }
                out += ']';
            }
            out += '}';
            ++result.groups;
            result.objects += objects.size();
        }
        out += "]}\n";
    } catch (const json::exception& e) {
        return Failure("", e.what());
    }
    text = std::move(out);
    return result;
}

FileResult SaveJsonFile(const StageGroups& groups, const std::string& path) {
    // The text is made before the file is touched, so an export that fails leaves the old file as it was.
    std::string text;
    FileResult result = DumpStageJson(groups, text);
    result.path = path;
    if (!result.ok) return result;
    return ReplaceFile(path, [&](std::ostream& out) {
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        return result;
    });
}

FileResult SaveJson(const StageGroups* groups, const std::string& fileName) {
    const std::string path = "Data/FILE/" + fileName;
    if (!groups) return Failure(path, "no tag groups to export");
    return SaveJsonFile(*groups, path);
}
