#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "stagefile/stage_json.h"
#include "support/stage_samples.h"
#include "support/temp_dir.h"

namespace {

std::string Dump(const StageGroups& groups) {
    std::string text;
    FileResult result = DumpStageJson(groups, text);
    EXPECT_TRUE(result.ok) << result.message;
    return text;
}

// The document built whole with the library, as the reference for the piecewise writer.
nlohmann::json Document(const StageGroups& groups) {
    nlohmann::json j;
    std::size_t t = 0;
    for (const auto& [tag, objects] : groups) {
        j["STAGE"][t]["Level"] = tag;
        for (std::size_t i = 0; i < objects.size(); ++i) {
            const ObjectPart& p = objects[i].part;
            auto vec = [](const D3DXVECTOR3& v) {
                return nlohmann::json{{"X", double(v.x)}, {"Y", double(v.y)}, {"Z", double(v.z)}};
            };
            j["STAGE"][t]["Object"][i] = {{"ID", i},          {"ModelLabel", p.ModelLabel}, {"ObjectLabel", p.ObjectLabel},
                                          {"Pos", vec(p.Pos)}, {"Rot", vec(p.Rot)},           {"Scale", vec(p.Scale)}};
        }
        ++t;
    }
    return j;
}

}  // namespace

TEST(StageJson, WritesTheExampleByteForByte) {
    StageGroups groups;
    groups["TEST"].push_back(SampleObject({0, 10, 0}, {0, 1.5708f, 0}, {1, 1, 1}, "SPHERE"));
    groups["TEST"].push_back(SampleObject({-20.5f, 0, 3.25f}, {0, 0, 0}, {2, 2, 2}, "SPHERE", "door1"));
    EXPECT_EQ(Dump(groups),
              "{\"STAGE\":[{\"Level\":\"TEST\",\"Object\":[{\"ID\":0,\"ModelLabel\":\"SPHERE\",\"ObjectLabel\":\"\","
              "\"Pos\":{\"X\":0.0,\"Y\":10.0,\"Z\":0.0},\"Rot\":{\"X\":0.0,\"Y\":1.5707999467849731,\"Z\":0.0},"
              "\"Scale\":{\"X\":1.0,\"Y\":1.0,\"Z\":1.0}},{\"ID\":1,\"ModelLabel\":\"SPHERE\",\"ObjectLabel\":\"door1\","
              "\"Pos\":{\"X\":-20.5,\"Y\":0.0,\"Z\":3.25},\"Rot\":{\"X\":0.0,\"Y\":0.0,\"Z\":0.0},"
              "\"Scale\":{\"X\":2.0,\"Y\":2.0,\"Z\":2.0}}]}]}\n");
}

TEST(StageJson, MatchesTheLibrarysDumpOfTheWholeDocument) {
    StageGroups groups;
    groups["A"].push_back(SampleObject({0.1f, -0.0f, 1e-7f}, {1234.5678f, INFINITY, NAN}, {3e38f, 1, 1}, "M\"q\\", "tab\there"));
    groups["B"].push_back(SampleObject({}, {}, {}, "caf\xc3\xa9", ""));
    groups["B"].push_back(SampleObject({1, 2, 3}, {}, {}, "X", "\x01"));
    groups["empty"];
    EXPECT_EQ(Dump(groups), Document(groups).dump() + "\n");
    EXPECT_NE(Dump(groups).find("{\"Level\":\"empty\"}"), std::string::npos);  // no "Object" key
    EXPECT_NE(Dump(groups).find("0.10000000149011612"), std::string::npos);
}

TEST(StageJson, NoGroupsIsNull) { EXPECT_EQ(Dump(StageGroups{}), "null\n"); }

TEST(StageJson, InvalidUtf8FailsWithTheLibrarysMessageAndKeepsTheOldFile) {
    TempDir dir;
    auto path = dir.Write("stage.json", "old\n");
    StageGroups groups;
    groups["ok"].push_back(SampleObject({}, {}, {}, "M", "bad \xff byte"));
    FileResult result = SaveJsonFile(groups, path.string());
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.path, path.string());
    EXPECT_NE(result.message.find("invalid UTF-8 byte at index 4"), std::string::npos) << result.message;
    EXPECT_EQ(TempDir::Read(path), "old\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

TEST(StageJson, SaveJsonWritesBelowTheDataFolderAndReplacesTheFile) {
    TempDir dir;
    dir.Write("Data/FILE/stage.json", "old\n");
    ScopedWorkingDir cwd(dir.Path());
    StageGroups groups;
    groups["A"].push_back(SampleObject({1, 2, 3}, {}, {1, 1, 1}, "M"));
    FileResult result = SaveJson(&groups, "stage.json");
    ASSERT_TRUE(result.ok) << result.Describe();
    EXPECT_EQ(result.path, "Data/FILE/stage.json");
    EXPECT_EQ(TempDir::Read("Data/FILE/stage.json"), Dump(groups));
    ASSERT_TRUE(SaveJson(&groups, "stage.json").ok);
    EXPECT_EQ(TempDir::Read("Data/FILE/stage.json"), Dump(groups));
    EXPECT_FALSE(std::filesystem::exists("Data/FILE/stage.json.tmp"));
    EXPECT_FALSE(SaveJson(nullptr, "stage.json").ok);
}
