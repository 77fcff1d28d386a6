#include "stagefile/stage_text_writer.h"

#include <charconv>
#include <string>
#include <string_view>

namespace {

constexpr std::size_t kFlushSize = 1 << 16;

bool HasLineBreak(const std::string& text) { return text.find_first_of("\r\n") != std::string::npos; }

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
        out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
        buffer_.clear();
    }

private:
    std::ostream& out_;
    std::string buffer_;
};

}  // namespace

FileResult WriteStageText(const StageGroups& groups, std::ostream& out) {
    FileResult result;
    for (const auto& [tag, objects] : groups) {
        std::string where;
        if (HasLineBreak(tag)) where = "tag \"" + tag + "\"";
        for (std::size_t i = 0; where.empty() && i < objects.size(); ++i) {
            const ObjectPart& part = objects[i].part;
            if (HasLineBreak(part.ModelLabel))
                where = "ModelLabel of object " + std::to_string(i) + " of tag \"" + tag + "\"";
            else if (HasLineBreak(part.ObjectLabel))
                where = "ObjectLabel of object " + std::to_string(i) + " of tag \"" + tag + "\"";
        }
        if (!where.empty()) {
            result.ok = false;
            result.message = "the " + where + " contains a line break, which the stage text cannot hold";
            return result;
        }
    }

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
    }
    return result;
}
