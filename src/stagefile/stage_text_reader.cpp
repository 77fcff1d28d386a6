#include "stagefile/stage_text_reader.h"

#include <cerrno>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <unordered_map>

#include "stagefile/text_encoding.h"

namespace {

constexpr const char* kInvalidInt = "invalid stoi argument";
constexpr const char* kIntOutOfRange = "stoi argument out of range";
constexpr const char* kInvalidFloat = "invalid stof argument";
constexpr const char* kFloatOutOfRange = "stof argument out of range";
constexpr const char* kNotFinite = "not a finite number (nan and inf cannot be placed or drawn)";

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

std::string_view Trim(std::string_view text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && IsSpace(text[begin])) ++begin;
    while (end > begin && IsSpace(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

// The items are views into a line held in a std::string. After trimming, an item is followed by a blank,
// a comma, a carriage return or the string's terminating zero, none of which can continue a number, so the
// C conversions below stop inside the item: they read its longest valid prefix and ignore the rest.

const char* ParseInt(std::string_view item, long& value) {
    if (item.empty()) return kInvalidInt;
    int parsed = 0;
    // The common case, a plain decimal, without the C library; anything else takes strtol's own path.
    if (std::from_chars(item.data(), item.data() + item.size(), parsed).ec == std::errc() && item[0] != '+') {
        value = parsed;
        return nullptr;
    }
    char* cEnd = nullptr;
    errno = 0;
    long wide = std::strtol(item.data(), &cEnd, 10);
    if (cEnd == item.data()) return kInvalidInt;
    if (errno == ERANGE || wide < INT_MIN || wide > INT_MAX) return kIntOutOfRange;
    value = wide;
    return nullptr;
}

const char* ParseFloat(std::string_view item, float& value) {
    if (item.empty()) return kInvalidFloat;
    const char* first = item.data();
    const char* last = first + item.size();
    // from_chars reads decimal forms as strtof does (both round correctly), only faster. A leading '+',
    // hexadecimal forms (read by from_chars as a 0 before the x) and values out of range take strtof's path.
    float parsed = 0.0f;
    auto [end, error] = std::from_chars(first, last, parsed);
    bool hex = end < last && (*end == 'x' || *end == 'X');
    if (error == std::errc() && *first != '+' && !hex) {
        if (!std::isfinite(parsed)) return kNotFinite;
        value = parsed;
        return nullptr;
    }
    char* cEnd = nullptr;
    errno = 0;
    parsed = std::strtof(first, &cEnd);
    if (cEnd == first) return kInvalidFloat;
    // Too large is an error; too small rounds to the nearest float (zero or subnormal), so every float
    // the writer produces reads back.
    if (errno == ERANGE && std::isinf(parsed)) return kFloatOutOfRange;
    if (!std::isfinite(parsed)) return kNotFinite;
    value = parsed;
    return nullptr;
}

// Cuts a value at every comma and hands each trimmed item to `convert`; a comma at the very end adds no
// item. Stops at the first item that `convert` rejects and returns its message, with the item's text.
template <class Convert>
std::string ForEachItem(std::string_view value, Convert convert) {
    std::size_t start = 0;
    for (;;) {
        std::size_t comma = value.find(',', start);
        if (comma == std::string_view::npos && start >= value.size()) return {};
        std::string_view item =
            Trim(comma == std::string_view::npos ? value.substr(start) : value.substr(start, comma - start));
        if (const char* error = convert(item)) return std::string(error) + ": \"" + Utf8Prefix(item, 40) + "\"";
        if (comma == std::string_view::npos) return {};
        start = comma + 1;
    }
}

enum class Field { Pos, Rot, Scale, ModelLabel, ObjectLabel, None };

Field FieldOf(std::string_view key) {
    if (key == "Pos") return Field::Pos;
    if (key == "Rot") return Field::Rot;
    if (key == "Scale") return Field::Scale;
    if (key == "ModelLabel") return Field::ModelLabel;
    if (key == "ObjectLabel") return Field::ObjectLabel;
    return Field::None;  // TexturePath and unknown keys are read and ignored
}

// A key the stage text is made of: a file with text but none of these is some other kind of file.
bool IsStageKey(std::string_view key) {
    return key == "Tag" || key == "Index" || key == "TexturePath" || FieldOf(key) != Field::None;
}

// Hands out the lines of a stream. A line ends at "\n", "\r\n" or a lone "\r" (old Mac files, or a stray
// carriage return inside a label), so no label or tag read from a file holds a line break.
// Every line is checked to be UTF-8 text before it is used; `fault` then says what it is instead.
class LineReader {
public:
    explicit LineReader(std::istream& in) : in_(in) {}

    bool Next(std::string_view& text, const char*& fault) {
        if (rest_ >= line_.size()) {
            if (!std::getline(in_, line_)) return false;
            rest_ = 0;
            if (first_) {
                first_ = false;
                std::size_t length = 0;
                mark_ = FindByteOrderMark(line_, length);
                if (mark_ == ByteOrderMark::Utf8) rest_ = length;  // read as plain UTF-8
            }
            fault = TextFault(line_);
        }
        std::size_t cr = line_.find('\r', rest_);
        if (cr == std::string::npos) cr = line_.size();
        text = std::string_view(line_).substr(rest_, cr - rest_);
        // A carriage return right before the "\n" (or at the end of the file) ends this line only.
        rest_ = cr + 1 >= line_.size() ? line_.size() : cr + 1;
        return true;
    }

    ByteOrderMark Mark() const { return mark_; }

private:
    std::istream& in_;
    std::string line_;
    std::size_t rest_ = 0;
    bool first_ = true;
    ByteOrderMark mark_ = ByteOrderMark::None;
};

// The bytes left in a stream that can tell (a file, a string); 0 when it cannot.
std::uint64_t BytesLeft(std::istream& in) {
    const std::istream::pos_type here = in.tellg();
    if (here == std::istream::pos_type(-1)) return 0;
    in.seekg(0, std::ios::end);
    const std::istream::pos_type end = in.tellg();
    in.seekg(here);
    if (end == std::istream::pos_type(-1) || !in) {
        in.clear();
        in.seekg(here);
        return 0;
    }
    return static_cast<std::uint64_t>(end - here);
}

}  // namespace

FileResult ReadStageText(std::istream& in, std::vector<StageTextGroup>& out) {
    FileResult result;
    std::vector<StageTextGroup> groups;
    std::unordered_map<std::string, std::size_t> groupOfTag;
    constexpr std::size_t kNoGroup = static_cast<std::size_t>(-1);
    std::size_t current = kNoGroup;
    long index = 0;  // kept across tag lines, as an empty Index value reuses it
    std::size_t records = 0;
    int lineNumber = 0;
    const std::uint64_t bytes = BytesLeft(in);
    const std::uint64_t recordsFit = bytes == 0 ? kMaxStageRecords : kStageFreeRecords + bytes / kStageBytesPerRecord;

    auto fail = [&](std::string message) {
        result.ok = false;
        result.line = lineNumber;
        result.message = std::move(message);
        return result;
    };
    auto groupFor = [&](std::string_view tag) {
        auto [it, inserted] = groupOfTag.try_emplace(std::string(tag), groups.size());
        if (inserted) groups.push_back(StageTextGroup{it->first, {}, false});
        return it->second;
    };

    LineReader lines(in);
    std::string_view text;
    const char* fault = nullptr;
    bool anyText = false, anyKey = false;
    while (lines.Next(text, fault)) {
        ++lineNumber;
        if (fault) {
            // Text in UTF-16 or UTF-32 reads as bytes that are not UTF-8: it is named for what it is.
            const ByteOrderMark mark = lines.Mark();
            if (lineNumber == 1 && (mark == ByteOrderMark::Utf16 || mark == ByteOrderMark::Utf32)) {
                lineNumber = 0;
                return fail(mark == ByteOrderMark::Utf16 ? "the file is UTF-16 text; save it as UTF-8"
                                                         : "the file is UTF-32 text; save it as UTF-8");
            }
            return fail(std::string("not stage text: the line ") + fault);
        }
        std::size_t colon = text.find(':');
        if (colon == std::string_view::npos) {
            anyText = anyText || !Trim(text).empty();
            continue;
        }
        anyText = true;
        std::string_view key = Trim(text.substr(0, colon));
        std::string_view value = Trim(text.substr(colon + 1));
        anyKey = anyKey || IsStageKey(key);

        if (key == "Tag") {
            current = groupFor(value);
            continue;
        }

        if (key == "Index") {
            long last = index;
            std::string error = ForEachItem(value, [&](std::string_view item) { return ParseInt(item, last); });
            if (!error.empty()) return fail(std::move(error));
            if (last < 0) return fail("negative index " + std::to_string(last));
            if (last > kMaxStageIndex)
                return fail("index " + std::to_string(last) + " is above the limit of " +
                            std::to_string(kMaxStageIndex));
            index = last;
            if (current == kNoGroup) current = groupFor("");
            StageTextGroup& group = groups[current];
            std::size_t size = static_cast<std::size_t>(index) + 1;
            records = records - group.records.size() + size;
            if (records > kMaxStageRecords)
                return fail("the file describes more than " + std::to_string(kMaxStageRecords) + " objects");
            if (records > recordsFit)
                return fail("index " + std::to_string(index) + " makes the file describe " + std::to_string(records) +
                            " objects, more than its " + std::to_string(bytes) + " bytes can hold (" +
                            std::to_string(kStageFreeRecords) + " and one for every " +
                            std::to_string(kStageBytesPerRecord) + " bytes)");
            group.records.resize(size);
            group.indexed = true;
            continue;
        }

        Field field = FieldOf(key);
        if (field == Field::None) continue;
        if (current == kNoGroup || !groups[current].indexed)
            return fail("\"" + std::string(key) + "\" line before the first \"Index\" line of its group");
        StageTextGroup& group = groups[current];
        if (static_cast<std::size_t>(index) >= group.records.size())
            return fail("\"" + std::string(key) + "\" line for index " + std::to_string(index) + ", but the group \"" +
                        group.tag + "\" has no such record");
        ObjectPart& record = group.records[static_cast<std::size_t>(index)];

        switch (field) {
            case Field::Pos:
            case Field::Rot:
            case Field::Scale: {
                float xyz[3] = {};
                int count = 0;
                std::string error = ForEachItem(value, [&](std::string_view item) {
                    float parsed = 0.0f;
                    const char* itemError = ParseFloat(item, parsed);
                    if (!itemError && count < 3) xyz[count] = parsed;
                    ++count;
                    return itemError;
                });
                if (!error.empty()) return fail(std::move(error));
                if (count != 3) break;  // a list of any other length leaves the field as it was
                D3DXVECTOR3& target = field == Field::Pos ? record.Pos : field == Field::Rot ? record.Rot : record.Scale;
                target = D3DXVECTOR3(xyz[0], xyz[1], xyz[2]);
                break;
            }
            case Field::ModelLabel:
                if (!value.empty()) record.ModelLabel.assign(value);
                break;
            case Field::ObjectLabel:
                if (!value.empty()) record.ObjectLabel.assign(value);
                break;
            case Field::None:
                break;
        }
    }
    lineNumber = 0;
    if (in.bad()) return fail("the file could not be read");
    // Blank lines make an empty stage; lines of text without one stage key make no stage at all.
    if (anyText && !anyKey)
        return fail("not stage text: no line has a stage key (Tag, Index, Pos, Rot, Scale, ModelLabel, ObjectLabel)");

    result.groups = groups.size();
    result.objects = records;
    out = std::move(groups);
    return result;
}
