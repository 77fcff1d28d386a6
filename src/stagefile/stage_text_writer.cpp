#include "stagefile/stage_text_writer.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string>
#include <string_view>

#include "stagefile/stage_text_reader.h"

namespace {

constexpr std::size_t kFlushSize = 1 << 16;

bool HasLineBreak(const std::string& text) { return text.find_first_of("\r\n") != std::string::npos; }

bool IsFinite(const D3DXVECTOR3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

constexpr const char* kLineBreak = " contains a line break";
constexpr const char* kNotFinite = " is not finite (nan or inf)";

// The field of an object that the reader could not take back, with what is wrong with it; null when none.
const char* ObjectProblem(const ObjectPart& part, const char*& field) {
    struct Label { const char* name; const std::string& text; };
    for (const Label& label : {Label{"ModelLabel", part.ModelLabel}, Label{"ObjectLabel", part.ObjectLabel}})
        if (HasLineBreak(label.text)) return field = label.name, kLineBreak;
    struct Vector { const char* name; const D3DXVECTOR3& value; };
    for (const Vector& vector : {Vector{"Pos", part.Pos}, Vector{"Rot", part.Rot}, Vector{"Scale", part.Scale}})
        if (!IsFinite(vector.value)) return field = vector.name, kNotFinite;
    return nullptr;
}

// Output is gathered in a buffer and handed to the stream in large pieces.
class LineBuffer {
public:
    explicit LineBuffer(std::ostream& out) : out_(out) { buffer_.reserve(kFlushSize + 256); }
    ~LineBuffer() { Flush(); }

    void Text(std::string_view text) { buffer_.append(text); }
    void Float(float value) {
        char digits[32];
        // General form: fixed notation for decimal exponents -4 to 5, exponent notation beyond, as a
        // stream's default gives; the digits are the fewest that read back as the same float.
        auto end = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::general).ptr;
        buffer_.append(digits, end);
    }
    void Integer(std::size_t value) {
        char digits[24];
        auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
        buffer_.append(digits, end);
    }
    void Vector(std::string_view key, const D3DXVECTOR3& v) {
        Text(key);
        Float(v.x);
        Text(" , ");
        Float(v.y);
        Text(" , ");
        Float(v.z);
        EndLine();
    }
    void EndLine() {
        buffer_.push_back('\n');
        if (buffer_.size() >= kFlushSize) Flush();
    }
    void Flush() {
        if (buffer_.empty() && out_) return;
        bool wasGood = static_cast<bool>(out_);
        errno = 0;
        out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
        if (wasGood && !out_) error_ = errno;  // the reason is known only where the stream first failed
        buffer_.clear();
    }
    int Error() const { return error_; }

private:
    std::ostream& out_;
    std::string buffer_;
    int error_ = 0;
};

}  // namespace

FileResult CheckStageText(const StageGroups& groups) {
    FileResult result;
    std::size_t objects = 0;
    for (const auto& entry : groups) objects += entry.second.size();
    if (objects > kMaxStageRecords) {
        result.ok = false;
        result.message = "the stage holds " + std::to_string(objects) + " objects, more than the " +
                         std::to_string(kMaxStageRecords) + " a stage file can hold";
        return result;
    }
    for (const auto& [tag, group] : groups) {
        std::string problem;
        if (HasLineBreak(tag)) problem = "the tag \"" + tag + "\"" + kLineBreak;
        for (std::size_t i = 0; problem.empty() && i < group.size(); ++i) {
            const char* field = nullptr;
            if (const char* what = ObjectProblem(group[i].part, field))
                problem = std::string("the ") + field + " of object " + std::to_string(i) + " of tag \"" + tag + "\"" + what;
        }
        if (!problem.empty()) {
            result.ok = false;
            result.message = problem + ", which the stage text cannot hold";
            return result;
        }
        ++result.groups;
    }
    result.objects = objects;
    return result;
}

FileResult WriteStageText(const StageGroups& groups, std::ostream& out) {
    FileResult result = CheckStageText(groups);
    if (!result.ok) return result;
    result.groups = 0;
    result.objects = 0;

    LineBuffer text(out);
    for (const auto& [tag, objects] : groups) {
        text.Text("Tag : ");
        text.Text(tag);
        text.EndLine();
        for (std::size_t i = 0; i < objects.size(); ++i) {
            const ObjectPart& part = objects[i].part;
            text.Text("Index : ");
            text.Integer(i);
            text.EndLine();
            text.Vector("Pos : ", part.Pos);
            text.Vector("Rot : ", part.Rot);
            text.Vector("Scale : ", part.Scale);
            text.Text("ModelLabel : ");
            text.Text(part.ModelLabel);
            text.EndLine();
            text.Text("ObjectLabel : ");
            text.Text(part.ObjectLabel);
            text.EndLine();
        }
        ++result.groups;
        result.objects += objects.size();
    }
    text.Flush();
    if (!out) {
        result.ok = false;
        result.message = "the stage text could not be written";
        if (text.Error()) result.message += std::string(": ") + std::strerror(text.Error());
    }
    return result;
}
