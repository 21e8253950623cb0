#include "app/WindowCatalog.h"

#include "app/frmAbout.h"
#include "app/frmSWOptions.h"
#include "device/WindowClasses.h"
#include "files/frmLogging.h"
#include "files/frmSave.h"
#include "views/frmConfig.h"
#include "views/frmGraph.h"
#include "views/frmLimits.h"
#include "views/frmRegMap.h"
#include "views/frmRegOverview.h"

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
        {WindowClass::kRegMap, make<frmRegMap>},           {WindowClass::kGraph, make<frmGraph>},
        {WindowClass::kLimits, make<frmLimits>},           {WindowClass::kConfig, make<frmConfig>},
        {WindowClass::kLogging, make<frmLogging>},         {WindowClass::kSave, make<frmSave>},
        {WindowClass::kSWOptions, make<frmSWOptions>},     {WindowClass::kAbout, make<frmAbout>},
        {WindowClass::kRegOverview, make<frmRegOverview>},
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
