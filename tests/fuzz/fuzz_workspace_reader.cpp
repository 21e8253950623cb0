// A workspace file is whatever the user names: the reader must end on any bytes, and
// either refuse the file whole (a reason, nothing taken from it) or accept a workspace
// whose every value lies in its range, so that writing it and reading it again gives
// the same file.
#include "device/RegMapStuff.h"
#include "files/Workspace.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Register entries are checked against the register table, as in the program.
    static const bool tableBuilt = (RegMapStuff::BuildRegisterTable(), true);
    (void)tableBuilt;
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const auto someWindows = [](const QString& name) { return name.startsWith("frm"); };
    const WorkspaceCheck check = ParseWorkspace(bytes, someWindows);
    if (!check.workspace) {
        if (check.problem.isEmpty() || !check.notes.isEmpty())
            std::abort();
        return 0;
    }
    if (!check.problem.isEmpty())
        std::abort();
    const QByteArray written = WorkspaceJson(*check.workspace);
    const WorkspaceCheck again = ParseWorkspace(written, someWindows);
    if (!again.workspace || !again.notes.isEmpty() || WorkspaceJson(*again.workspace) != written)
        std::abort();
    return 0;
}
