#include "tools/commands.h"

int RunMeshInfo(const ToolArgs&, std::ostream&, std::ostream& err) {
    err << "mesh-info: not implemented yet\n";
    return 1;
}
