#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <fstream>
#include <limits>
#include <sstream>

#include "stagefile/stage_text_reader.h"
#include "stagefile/stage_text_writer.h"
#include "support/stage_samples.h"

namespace {

const char* const kExample = kExampleStageText;

std::string Write(const StageGroups& groups) {
    std::ostringstream out;
    FileResult result = WriteStageText(groups, out);
    EXPECT_TRUE(result.ok) << result.message;
    return out.str();
}

FileResult Read(const std::string& text, std::vector<StageTextGroup>& groups) {
    std::istringstream in(text);
    return ReadStageText(in, groups);
}

bool SameBits(const D3DXVECTOR3& a, const D3DXVECTOR3& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

}  // namespace

TEST(StageTextWriter, WritesTheExampleFileByteForByte) {
    StageGroups groups;
    groups["TEST"].push_back(SampleObject({0, 10, 0}, {0, 1.5708f, 0}, {1, 1, 1}, "SPHERE"));
    groups["TEST"].push_back(SampleObject({-20.5f, 0, 3.25f}, {0, 0, 0}, {2, 2, 2}, "SPHERE", "door1"));
    EXPECT_EQ(Write(groups), kExample);
}

TEST(StageTextWriter, EmptyGroupsAreTagLinesInByteOrder) {
    StageGroups groups;
    groups["Test"];
    groups["TEST"];
    groups["A"];
    EXPECT_EQ(Write(groups), "Tag : A\nTag : TEST\nTag : Test\n");
    EXPECT_EQ(Write(StageGroups{}), "");
}

TEST(StageTextWriter, RefusesLineBreaksInLabelsAndWritesNothing) {
    StageGroups groups;
    groups["A"].push_back(SampleObject({}, {}, {}, "M", "two\nlines"));
    std::ostringstream out;
    FileResult result = WriteStageText(groups, out);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.message.find("ObjectLabel of object 0 of tag \"A\""), std::string::npos) << result.message;
    EXPECT_EQ(out.str(), "");

    StageGroups badTag;
    badTag["A\rB"];
    EXPECT_FALSE(WriteStageText(badTag, out).ok);
}

// What the reader would refuse is not written: a nan or infinity, or more objects than a file may hold.
TEST(StageTextWriter, RefusesWhatTheReaderCannotTakeBack) {
    StageGroups groups;
    groups["A"].push_back(SampleObject({}, {}, {1, std::numeric_limits<float>::infinity(), 1}, "M"));
    EXPECT_EQ(CheckStageText(groups).message,
              "the Scale of object 0 of tag \"A\" is not finite (nan or inf), which the stage text cannot hold");
    groups["A"].resize(kMaxStageRecords + 1);
    EXPECT_EQ(CheckStageText(groups).message, "the stage holds 1000002 objects, more than the 1000001 a stage file can hold");
}

TEST(StageTextWriter, AFullDiskGivesTheSystemsReason) {
    std::ofstream full("/dev/full", std::ios::binary);
    StageGroups groups;
    groups["A"].resize(3000);
    EXPECT_EQ(WriteStageText(groups, full).message, "the stage text could not be written: No space left on device");
}

TEST(StageTextReader, ReadsTheExampleFile) {
    std::vector<StageTextGroup> groups;
    FileResult result = Read(kExample, groups);
    ASSERT_TRUE(result.ok) << result.Describe();
    EXPECT_EQ(result.groups, 1u);
    EXPECT_EQ(result.objects, 2u);
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(groups[0].tag, "TEST");
    ASSERT_EQ(groups[0].records.size(), 2u);
    const ObjectPart& first = groups[0].records[0];
    EXPECT_EQ(first.Pos, D3DXVECTOR3(0, 10, 0));
    EXPECT_EQ(first.Rot, D3DXVECTOR3(0, 1.5708f, 0));
    EXPECT_EQ(first.Scale, D3DXVECTOR3(1, 1, 1));
    EXPECT_EQ(first.ModelLabel, "SPHERE");
    EXPECT_EQ(first.ObjectLabel, "");
    const ObjectPart& second = groups[0].records[1];
    EXPECT_EQ(second.Pos, D3DXVECTOR3(-20.5f, 0, 3.25f));
    EXPECT_EQ(second.Scale, D3DXVECTOR3(2, 2, 2));
    EXPECT_EQ(second.ObjectLabel, "door1");
}

// Everything a save writes comes back bit for bit, and a second save writes the same text.
TEST(StageTextReader, SaveThenLoadLosesNothing) {
    const float denormal = std::numeric_limits<float>::denorm_min();
    StageGroups groups;
    groups["TEST"].push_back(SampleObject({1234.5678f, 0.1f, -0.0f}, {1e-7f, 3.14159265f, -1e-30f},
                                    {FLT_MAX, -FLT_MAX, denormal}, "SPHERE", "front door  left"));
    groups["TEST"].push_back(SampleObject({1234567.f, 1e6f, 100000.f}, {0.0001f, 0.00001f, 16777216.f},
                                    {1.f / 3.f, 2.f / 3.f, 1e38f}, "BOX  2", "a:b : c"));
    groups["my tag"].push_back(SampleObject({-1, -2, -3}, {}, {}, "", ""));
    groups["empty"];
    groups[""];
    for (int i = 0; i < 40; ++i) groups["tag" + std::to_string(i)].push_back(SampleObject({float(i), 0, 0}, {}, {1, 1, 1}, "M"));

    std::string text = Write(groups);
    std::vector<StageTextGroup> loaded;
    FileResult result = Read(text, loaded);
    ASSERT_TRUE(result.ok) << result.Describe();
    ASSERT_EQ(loaded.size(), groups.size());
    std::size_t g = 0;
    for (const auto& [tag, objects] : groups) {
        const StageTextGroup& group = loaded[g++];
        EXPECT_EQ(group.tag, tag);
        ASSERT_EQ(group.records.size(), objects.size()) << tag;
        for (std::size_t i = 0; i < objects.size(); ++i) {
            const ObjectPart& want = objects[i].part;
            const ObjectPart& got = group.records[i];
            EXPECT_TRUE(SameBits(got.Pos, want.Pos)) << tag << " " << i;
            EXPECT_TRUE(SameBits(got.Rot, want.Rot)) << tag << " " << i;
            EXPECT_TRUE(SameBits(got.Scale, want.Scale)) << tag << " " << i;
            EXPECT_EQ(got.ModelLabel, want.ModelLabel);
            EXPECT_EQ(got.ObjectLabel, want.ObjectLabel);
        }
    }

    StageGroups again;
    for (const StageTextGroup& group : loaded) {
        std::vector<StageObject>& objects = again[group.tag];
        for (const ObjectPart& part : group.records) objects.push_back(StageObject{kNoModel, part});
    }
    EXPECT_EQ(Write(again), text);
}

TEST(StageTextReader, BlanksAroundKeysSeparatorsAndNumbersAreDroppedButKeptInside) {
    std::vector<StageTextGroup> groups;
    ASSERT_TRUE(Read("  Tag\t:  two  words \r\n"
                     "Index:0\r\n"
                     " Pos :\t1.5,  -2 ,3 \r\n"
                     "ModelLabel:  big  rock\t\r\n"
                     "ObjectLabel : note: keep this\r\n",
                     groups)
                    .ok);
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(groups[0].tag, "two  words");
    ASSERT_EQ(groups[0].records.size(), 1u);
    EXPECT_EQ(groups[0].records[0].Pos, D3DXVECTOR3(1.5f, -2, 3));
    EXPECT_EQ(groups[0].records[0].ModelLabel, "big  rock");
    EXPECT_EQ(groups[0].records[0].ObjectLabel, "note: keep this");
}

TEST(StageTextReader, KeepsTheFormatsLenientRules) {
    std::vector<StageTextGroup> groups;
    FileResult result = Read("Index : 3\n"            // no tag line: the empty tag
                             "Pos : 1 , 2\n"          // two numbers: unchanged
                             "Rot : 1 , 2 , 3 , 4\n"  // four numbers: unchanged
                             "Scale : 5x , 6 , 7,\n"  // trailing text and a final comma are ignored
                             "ModelLabel : \n"        // empty: unchanged
                             "TexturePath : anything\n"
                             "Colour : red\n"
                             "no colon here\n"
                             "\n"
                             "Index : 0\n"            // shrinks the group to one record
                             "Index : 7, 1\n"         // the last entry counts
                             "Tag : B\n"
                             "Tag : C\n"
                             "Index :\n",             // empty: the previous index again
                             groups);
    ASSERT_TRUE(result.ok) << result.Describe();
    ASSERT_EQ(groups.size(), 3u);
    EXPECT_EQ(groups[0].tag, "");
    ASSERT_EQ(groups[0].records.size(), 2u);
    EXPECT_EQ(groups[0].records[0].Pos, D3DXVECTOR3());
    EXPECT_EQ(groups[0].records[0].Rot, D3DXVECTOR3());
    EXPECT_EQ(groups[0].records[0].Scale, D3DXVECTOR3(0, 0, 0));  // record 3 held the scale and was dropped
    EXPECT_EQ(groups[1].tag, "B");
    EXPECT_TRUE(groups[1].records.empty());
    EXPECT_EQ(groups[2].tag, "C");
    EXPECT_EQ(groups[2].records.size(), 2u);
    EXPECT_EQ(result.objects, 4u);
}

TEST(StageTextReader, TagLinesComeOutInFileOrderAndRepeatsContinueTheirGroup) {
    std::vector<StageTextGroup> groups;
    ASSERT_TRUE(Read("Tag : b\nIndex : 0\nModelLabel : one\nTag : a\nTag : b\nIndex : 1\nModelLabel : two\n", groups).ok);
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_EQ(groups[0].tag, "b");
    EXPECT_EQ(groups[1].tag, "a");
    ASSERT_EQ(groups[0].records.size(), 2u);
    EXPECT_EQ(groups[0].records[0].ModelLabel, "one");
    EXPECT_EQ(groups[0].records[1].ModelLabel, "two");
}

TEST(StageTextReader, EmptyInputHasNoGroupsAndAUtf8MarkIsSkipped) {
    for (const char* empty : {"", "\n \r\n\t\n", "\xEF\xBB\xBF", "\xEF\xBB\xBF\r\n"}) {
        std::vector<StageTextGroup> groups;
        EXPECT_TRUE(Read(empty, groups).ok) << empty;
        EXPECT_TRUE(groups.empty()) << empty;
    }
    std::vector<StageTextGroup> groups;
    ASSERT_TRUE(Read(std::string("\xEF\xBB\xBF") + kExample, groups).ok);
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(groups[0].tag, "TEST");
}

// Bad numbers and records, and files that are not stage text, are refused with the line and the reason.
TEST(StageTextReader, ABadLineNamesItsLineAndReason) {
    using namespace std::string_view_literals;
    struct Case {
        std::string_view text;
        int line;
        const char* message;
    };
    const Case cases[] = {
        {"Tag : A\nIndex : 0\nPos : 1 ,, 2\n", 3, "invalid stof argument: \"\""},
        {"Tag : A\nIndex : 0\nRot : 1 , 2 , abc\n", 3, "invalid stof argument: \"abc\""},
        {"Tag : A\nIndex : 0\nScale : 1e39 , 0 , 0\n", 3, "stof argument out of range: \"1e39\""},
        {"Tag : A\nIndex : 0\nPos : 0 , nan , 0\n", 3, "not a finite number (nan and inf cannot be placed or drawn): \"nan\""},
        {"Tag : A\nIndex : 0\nRot : +inf , 0 , 0\n", 3, "not a finite number (nan and inf cannot be placed or drawn): \"+inf\""},
        {"Tag : A\nIndex : zero\n", 2, "invalid stoi argument: \"zero\""},
        {"Tag : A\nIndex : ,\n", 2, "invalid stoi argument: \"\""},
        {"Tag : A\nIndex : 2147483648\n", 2, "stoi argument out of range: \"2147483648\""},
        {"Index : 0\nPos : 1 , x\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9 , 3\n", 2,
         "invalid stof argument: \"x\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9...\""},
        // What is not stage text at all.
        {"\x89PNG\r\n\x1a\n\0\0\0\rIHDR"sv, 1, "not stage text: the line is not valid UTF-8"},
        {"Tag : A\nIndex : 0\nObjectLabel : caf\xE9\n", 3, "not stage text: the line is not valid UTF-8"},
        {"Tag : A\nIndex : 0\nObjectLabel : \xC0\xAF\n", 3, "not stage text: the line is not valid UTF-8"},
        {"Tag : A\nIndex : 0\nObjectLabel : a\0b\n"sv, 3, "not stage text: the line holds a NUL byte"},
        {"\xFF\xFET\0a\0g\0 \0:\0 \0A\0\n\0"sv, 0, "the file is UTF-16 text; save it as UTF-8"},
        {"\xFE\xFF\0T\0a\0g"sv, 0, "the file is UTF-16 text; save it as UTF-8"},
        {"\xFF\xFE\0\0T\0\0\0"sv, 0, "the file is UTF-32 text; save it as UTF-8"},
        {"{\n  \"models\": [ { \"label\": \"SPHERE\" } ]\n}\n", 0,
         "not stage text: no line has a stage key (Tag, Index, Pos, Rot, Scale, ModelLabel, ObjectLabel)"},
        {"# Notes\n\nSome words: more words\n", 0,
         "not stage text: no line has a stage key (Tag, Index, Pos, Rot, Scale, ModelLabel, ObjectLabel)"},
        {"Tag : A\nIndex : -1\n", 2, "negative index -1"},
        {"Tag : A\nIndex : 1000001\n", 2, "index 1000001 is above the limit of 1000000"},
        {"Tag : A\nIndex : 1000000\n", 2,
         "index 1000000 makes the file describe 1000001 objects, more than its 24 bytes can hold (1000 and one for "
         "every 8 bytes)"},
        {"Tag : A\nPos : 1 , 2 , 3\n", 2, "\"Pos\" line before the first \"Index\" line of its group"},
        {"Tag : A\nIndex : 0\nTag : B\nObjectLabel : x\n", 4,
         "\"ObjectLabel\" line before the first \"Index\" line of its group"},
        {"ModelLabel : M\n", 1, "\"ModelLabel\" line before the first \"Index\" line of its group"},
        {"Tag : A\nIndex : 0\nTag : B\nIndex : 5\nTag : A\nPos : 1 , 2 , 3\n", 6,
         "\"Pos\" line for index 5, but the group \"A\" has no such record"},
    };
    for (const Case& c : cases) {
        std::vector<StageTextGroup> groups(1);
        groups[0].tag = "untouched";
        FileResult result = Read(std::string(c.text), groups);
        EXPECT_FALSE(result.ok) << c.text;
        EXPECT_EQ(result.line, c.line) << c.text;
        EXPECT_EQ(result.message, c.message) << c.text;
        ASSERT_EQ(groups.size(), 1u);
        EXPECT_EQ(groups[0].tag, "untouched");
    }
}

TEST(StageTextReader, NumbersFollowTheCConversions) {
    std::vector<StageTextGroup> groups;
    ASSERT_TRUE(Read("Index : +0012abc\nPos : 0x1p4 , 1e+3 , -1e-50\n", groups).ok);
    ASSERT_EQ(groups[0].records.size(), 13u);
    const ObjectPart& record = groups[0].records[12];
    EXPECT_EQ(record.Pos.x, 16.0f);
    EXPECT_EQ(record.Pos.y, 1000.0f);
    EXPECT_EQ(record.Pos.z, 0.0f);  // too small for a float: rounds to zero
}
