// Runs a vellumar-tool command in the test's process, as the program runs it, and keeps what it printed;
// ToolTest gives each test a scratch folder of its own (without catalogs) as its working folder.
#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <sstream>
#include <string>

#include "support/temp_dir.h"
#include "tools/commands.h"

struct ToolRun {
    int code;
    std::string out, err;
};

inline ToolRun Tool(int (*command)(const ToolArgs&, std::ostream&, std::ostream&), ToolArgs args) {
    std::ostringstream out, err;
    const int code = command(args, out, err);
    return {code, out.str(), err.str()};
}

class ToolTest : public ::testing::Test {
protected:
    TempDir dir;
    ScopedWorkingDir cwd{dir.Path()};
};
