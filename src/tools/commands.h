// The commands of vellumar-tool. Each takes its arguments (after the command name) and returns the exit code.
#pragma once

#include <ostream>
#include <string>
#include <vector>

using ToolArgs = std::vector<std::string>;

int RunMeshInfo(const ToolArgs& args, std::ostream& out, std::ostream& err);
int RunCheck(const ToolArgs& args, std::ostream& out, std::ostream& err);
int RunExportJson(const ToolArgs& args, std::ostream& out, std::ostream& err);
int RunFormat(const ToolArgs& args, std::ostream& out, std::ostream& err);
int RunTextureInfo(const ToolArgs& args, std::ostream& out, std::ostream& err);
int RunEffectInfo(const ToolArgs& args, std::ostream& out, std::ostream& err);
int RunCheckAssets(const ToolArgs& args, std::ostream& out, std::ostream& err);
