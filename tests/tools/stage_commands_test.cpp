// vellumar-tool check, export-json and format, run as the program runs them.
#include <gtest/gtest.h>

#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <set>
#include <sstream>

#include "support/stage_samples.h"
#include "stagefile/temp_file.h"
#include "support/temp_dir.h"
#include "support/tool_run.h"

namespace {

const char* const kExample = kExampleStageText;

}  // namespace

TEST_F(ToolTest, CheckCountsGroupsAndObjectsOrNamesTheBadLine) {
    dir.Write("example.txt", kExample);
    dir.Write("two.txt", "Tag : A\nTag : B\nIndex : 2\n");
    dir.Write("bad.txt", "Tag : A\nIndex : 0\nIndex : -4\n");

    ToolRun ok = Tool(RunCheck, {"example.txt"});
    EXPECT_EQ(ok.code, 0);
    EXPECT_EQ(ok.out, "ok: 1 groups, 2 objects\n");
    EXPECT_EQ(Tool(RunCheck, {"two.txt"}).out, "ok: 2 groups, 3 objects\n");

    ToolRun bad = Tool(RunCheck, {"bad.txt"});
    EXPECT_EQ(bad.code, 1);
    EXPECT_EQ(bad.err, "bad.txt:3: error: negative index -4\n");
    EXPECT_EQ(bad.out, "");

    ToolRun missing = Tool(RunCheck, {"nothing.txt"});
    EXPECT_EQ(missing.code, 1);
    EXPECT_EQ(missing.err, "nothing.txt: error: cannot open the file: No such file or directory\n");
    // What is not stage text is not an empty stage.
    dir.Write("catalog.json", "{ \"models\": [] }\n");
    EXPECT_EQ(Tool(RunCheck, {"catalog.json"}).err,
              "catalog.json: error: not stage text: no line has a stage key (Tag, Index, Pos, Rot, Scale, "
              "ModelLabel, ObjectLabel)\n");

    EXPECT_EQ(Tool(RunCheck, {}).code, 2);
    EXPECT_EQ(Tool(RunCheck, {"a", "b"}).code, 2);
}

TEST_F(ToolTest, ExportJsonWritesToStandardOutputOrAFile) {
    dir.Write("example.txt", kExample);
    const std::string json =
        "{\"STAGE\":[{\"Level\":\"TEST\",\"Object\":[{\"ID\":0,\"ModelLabel\":\"SPHERE\",\"ObjectLabel\":\"\","
        "\"Pos\":{\"X\":0.0,\"Y\":10.0,\"Z\":0.0},\"Rot\":{\"X\":0.0,\"Y\":1.5707999467849731,\"Z\":0.0},"
        "\"Scale\":{\"X\":1.0,\"Y\":1.0,\"Z\":1.0}},{\"ID\":1,\"ModelLabel\":\"SPHERE\",\"ObjectLabel\":\"door1\","
        "\"Pos\":{\"X\":-20.5,\"Y\":0.0,\"Z\":3.25},\"Rot\":{\"X\":0.0,\"Y\":0.0,\"Z\":0.0},"
        "\"Scale\":{\"X\":2.0,\"Y\":2.0,\"Z\":2.0}}]}]}\n";
    ToolRun out = Tool(RunExportJson, {"example.txt"});
    EXPECT_EQ(out.code, 0);
    EXPECT_EQ(out.out, json);

    ToolRun file = Tool(RunExportJson, {"example.txt", "out.json"});
    EXPECT_EQ(file.code, 0);
    EXPECT_EQ(file.out, "");
    EXPECT_EQ(TempDir::Read(dir.Path() / "out.json"), json);

    dir.Write("latin1.txt", "Tag : caf\xe9\n");
    ToolRun bad = Tool(RunExportJson, {"latin1.txt", "out.json"});
    EXPECT_EQ(bad.code, 1);
    EXPECT_EQ(bad.err, "latin1.txt:1: error: not stage text: the line is not valid UTF-8\n");
    EXPECT_EQ(TempDir::Read(dir.Path() / "out.json"), json);  // the old export stays

    EXPECT_EQ(Tool(RunExportJson, {"nothing.txt"}).code, 1);
    EXPECT_EQ(Tool(RunExportJson, {}).code, 2);
}

TEST_F(ToolTest, FormatWritesTheCanonicalText) {
    dir.Write("messy.txt",
              "Tag:TEST\r\n"
              "Index:0\r\n"
              "Pos:0,10,0\r\n"
              "Rot:0,1.5708,0\r\n"
              "Scale: 1.0 , 1e0 , 1 \r\n"
              "ModelLabel:SPHERE\r\n"
              "TexturePath: ignored.png\r\n"
              "Index:1\r\n"
              "Pos:-20.50,0,3.25\r\n"
              "Scale:2,2,2\r\n"
              "ModelLabel:SPHERE\r\n"
              "ObjectLabel:door1");
    ToolRun out = Tool(RunFormat, {"messy.txt"});
    EXPECT_EQ(out.code, 0) << out.err;
    EXPECT_EQ(out.out, kExample);

    EXPECT_EQ(Tool(RunFormat, {"messy.txt", "clean.txt"}).code, 0);
    EXPECT_EQ(TempDir::Read(dir.Path() / "clean.txt"), kExample);

    ToolRun missingFolder = Tool(RunFormat, {"messy.txt", "no/such/folder.txt"});
    EXPECT_EQ(missingFolder.code, 1);
    EXPECT_EQ(missingFolder.err.rfind("no/such/folder.txt: error: ", 0), 0u) << missingFolder.err;

    dir.Write("bad.txt", "Index : 0\nScale : 1 , x , 1\n");
    ToolRun bad = Tool(RunFormat, {"bad.txt", "clean.txt"});
    EXPECT_EQ(bad.code, 1);
    EXPECT_EQ(bad.err, "bad.txt:2: error: invalid stof argument: \"x\"\n");
    EXPECT_EQ(TempDir::Read(dir.Path() / "clean.txt"), kExample);
    EXPECT_EQ(Tool(RunFormat, {"a", "b", "c"}).code, 2);
}

// Two format runs writing one file at once. Whenever a run ends, the file holds one whole stage of the two
// (either: the other run may rename its file in later, or may have done so before this one ended and
// still be ending). Both succeed, and the folder saw one rename onto the file per run, each from a
// temporary file of its own: no run reports success for a file that another run wrote or took away.
TEST_F(ToolTest, TwoFormatRunsWritingOneFileAtOnceLeaveOneWholeStage) {
    const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    ASSERT_GE(::inotify_add_watch(watch, dir.Path().c_str(), IN_MOVED_FROM | IN_MOVED_TO), 0);
    for (int round = 0; round < 50; ++round) {
        std::string stages[2];
        pid_t runs[2];
        for (int run = 0; run < 2; ++run) {
            std::string text;
            for (int i = 0; i < 200; ++i)
                text += "Tag : " + std::to_string(round) + (run ? "B" : "A") + "\nIndex : " + std::to_string(i) +
                        "\nPos : " + std::to_string(i * (run + 1)) + " , 1 , 2\n";
            dir.Write("in" + std::to_string(run) + ".txt", text);
            stages[run] = Tool(RunFormat, {"in" + std::to_string(run) + ".txt"}).out;
        }
        for (int run = 0; run < 2; ++run)
            if ((runs[run] = ::fork()) == 0)
                ::_exit(Tool(RunFormat, {"in" + std::to_string(run) + ".txt", "out.txt"}).code);
        for (int ended = 0; ended < 2; ++ended) {
            int status = 0;
            const pid_t pid = ::waitpid(-1, &status, 0);
            const int run = pid == runs[1];
            ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "round " << round << " run " << run;
            const std::string now = TempDir::Read(dir.Path() / "out.txt");
            EXPECT_TRUE(now == stages[0] || now == stages[1]) << "round " << round;
        }
        std::set<std::string> renamedFrom;
        int renamedTo = 0;
        alignas(inotify_event) char events[8192];
        for (ssize_t size; (size = ::read(watch, events, sizeof events)) > 0;)
            for (char* at = events; at < events + size; at += sizeof(inotify_event) + reinterpret_cast<inotify_event*>(at)->len) {
                const inotify_event& event = *reinterpret_cast<inotify_event*>(at);
                if (event.mask & IN_MOVED_TO && std::string(event.name) == "out.txt") ++renamedTo;
                if (event.mask & IN_MOVED_FROM && IsTempNameOf(event.name, "out.txt")) renamedFrom.insert(event.name);
            }
        EXPECT_EQ(renamedTo, 2) << "round " << round;
        EXPECT_EQ(renamedFrom.size(), 2u) << "round " << round;
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 3);  // no temporary file left
    }
    ::close(watch);
}

TEST_F(ToolTest, WritingToAFullStandardOutputFails) {
    dir.Write("example.txt", kExample);
    for (auto command : {RunFormat, RunExportJson}) {
        std::ofstream full("/dev/full", std::ios::binary);
        std::ostringstream err;
        EXPECT_EQ(command({"example.txt"}, full, err), 1);
        EXPECT_EQ(err.str(), "standard output: error: cannot write: No space left on device\n");
    }
}

// check and the editor both read a lone "\r" as a line end: what check calls ok also saves again.
TEST_F(ToolTest, ALoneCarriageReturnEndsALineForCheckAndFormatAlike) {
    dir.Write("stray.txt", "Tag : A\rIndex : 0\rObjectLabel : two\rlines\r\n");
    EXPECT_EQ(Tool(RunCheck, {"stray.txt"}).out, "ok: 1 groups, 1 objects\n");
    EXPECT_NE(Tool(RunFormat, {"stray.txt"}).out.find("ObjectLabel : two\n"), std::string::npos);
    dir.Write("bad.txt", "Tag : A\rIndex : 0\rPos : 1 , x , 3\n");
    EXPECT_EQ(Tool(RunCheck, {"bad.txt"}).err, "bad.txt:3: error: invalid stof argument: \"x\"\n");
}
