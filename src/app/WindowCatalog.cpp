#include "app/WindowCatalog.h"

#include "app/frmAbout.h"
#include "app/frmSWOptions.h"
#include "files/frmLogging.h"
#include "files/frmSave.h"
#include "views/frmConfig.h"
#include "views/frmGraph.h"
#include "views/frmLimits.h"
#include "views/frmRegMap.h"

#include <map>

namespace {
template <class Window> ChildWindow make() {
    auto* window = new Window;
    return {window, [window] { window->Form_Load(); }};
}

using Maker = ChildWindow (*)();

// One entry per window opened from the main window's menus and toolbar.
const std::map<QString, Maker>& table() {
    static const std::map<QString, Maker> windows = {
        {"frmRegMap", make<frmRegMap>},
        {"frmGraph", make<frmGraph>},
        {"frmLimits", make<frmLimits>},
        {"frmConfig", make<frmConfig>},
        {"frmLogging", make<frmLogging>},
        {"frmSave", make<frmSave>},
        {"frmSWOptions", make<frmSWOptions>},
        {"frmAbout", make<frmAbout>},
    };
    return windows;
}

WindowFactory& replacement() {
    static WindowFactory factory;
    return factory;
}
} // namespace

ChildWindow CreateChildWindow(const QString& className) {
    if (replacement())
        return replacement()(className);
    const auto it = table().find(className);
    return it == table().end() ? ChildWindow{} : it->second();
}

bool IsWindowClass(const QString& className) {
    return table().count(className) > 0;
}

void SetWindowFactory(WindowFactory factory) {
    replacement() = std::move(factory);
}
