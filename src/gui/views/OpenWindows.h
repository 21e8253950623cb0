#pragma once
// The windows the monitoring cycle feeds, and the one record of such a window being
// open: a member of the window that fills its slot and sets its open flag at load, and
// clears both at unload and, at the latest, when the window is destroyed. The shell
// hands the cycle's announcements to the windows in the slots (ConnectViewFeeds).
#include "app/MonitoringCycle.h"

#include <type_traits>

class frmGraph;
class frmLimits;
class frmRegMap;

struct OpenWindows {
    frmGraph* graph = nullptr;
    frmLimits* limits = nullptr;
    frmRegMap* regMap = nullptr;

    // The program's open windows.
    static OpenWindows& program() {
        static OpenWindows windows;
        return windows;
    }
};

template <class Window> class ViewRegistration {
public:
    explicit ViewRegistration(Window* window) : self(window) {}
    ~ViewRegistration() { detach(); }
    ViewRegistration(const ViewRegistration&) = delete;
    ViewRegistration& operator=(const ViewRegistration&) = delete;

    void attach() {
        slot() = self;
        SetViewOpen(fedView(), true);
    }
    // Leaves the slot alone when another window of the kind holds it now.
    void detach() {
        if (!attached())
            return;
        slot() = nullptr;
        SetViewOpen(fedView(), false);
    }
    bool attached() const { return slot() == self; }

private:
    static Window*& slot() {
        OpenWindows& windows = OpenWindows::program();
        if constexpr (std::is_same_v<Window, frmGraph>)
            return windows.graph;
        else if constexpr (std::is_same_v<Window, frmLimits>)
            return windows.limits;
        else
            return windows.regMap;
    }
    static constexpr FedView fedView() {
        if constexpr (std::is_same_v<Window, frmGraph>)
            return FedView::Graph;
        else if constexpr (std::is_same_v<Window, frmLimits>)
            return FedView::Limits;
        else
            return FedView::RegMap;
    }

    Window* self;
};
