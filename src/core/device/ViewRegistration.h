#pragma once
// The one record of a window being open: a member of the window that fills its
// slot in GeneralStuff::Views at load and clears it at unload, and at the latest
// when the window is destroyed.
#include "device/GeneralStuff.h"

template <class View> class ViewRegistration {
public:
    using Slot = View* OpenViews::*;
    ViewRegistration(Slot viewSlot, View* window) : slot(viewSlot), view(window) {}
    ~ViewRegistration() { detach(); }
    ViewRegistration(const ViewRegistration&) = delete;
    ViewRegistration& operator=(const ViewRegistration&) = delete;

    void attach() {
        GeneralStuff::Views.*slot = view;
        GeneralStuff::CycleSettingsChanged();
    }
    // Leaves the slot alone when another window of the kind holds it now.
    void detach() {
        if (!attached())
            return;
        GeneralStuff::Views.*slot = nullptr;
        GeneralStuff::CycleSettingsChanged();
    }
    bool attached() const { return GeneralStuff::Views.*slot == view; }

private:
    Slot slot;
    View* view;
};
