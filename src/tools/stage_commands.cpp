#include "tools/commands.h"

int RunCheck(const ToolArgs&, std::ostream&, std::ostream& err) {
    err << "check: not implemented yet\n";
    return 1;
}

int RunExportJson(const ToolArgs&, std::ostream&, std::ostream& err) {
    err << "export-json: not implemented yet\n";
    return 1;
}

int RunFormat(const ToolArgs&, std::ostream&, std::ostream& err) {
    err << "format: not implemented yet\n";
    return 1;
}
