#include <gtest/gtest.h>

#include "base/file_bytes.h"
#include "base/result.h"

TEST(Result, DescribeNamesTheFileTheLineAndTheReason) {
    Result<> withColumn = Failure("fx/a.fx", 3, "expected ';'");
    withColumn.column = 7;
    const struct {
        Result<> result;
        const char* text;
    } cases[] = {
        {Failure("Data/FILE/stage.txt", 12, "invalid stof argument: \"x\""),
         "Data/FILE/stage.txt:12: error: invalid stof argument: \"x\""},
        {Failure("out.json", "cannot write"), "out.json: error: cannot write"},
        {withColumn, "fx/a.fx:3:7: error: expected ';'"},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(c.result.ok);
        EXPECT_EQ(c.result.Describe(), c.text);
    }
}

TEST(Result, CarriesAValueOrAnError) {
    Result<int> made = 5;
    EXPECT_TRUE(made.ok);
    EXPECT_EQ(made.value, 5);
    Result<int> failed = Failure("a.x", "damaged");
    EXPECT_FALSE(failed.ok);
    EXPECT_EQ(failed.value, 0);
    EXPECT_EQ(failed.Describe(), "a.x: error: damaged");
}

TEST(Result, AFileThatCannotBeReadIsNamed) {
    const Result<std::string> missing = ReadFileBytes("Data/model/none.x");
    EXPECT_EQ(missing.Describe(), "Data/model/none.x: error: cannot open file (No such file or directory)");
}
