#pragma once
// Pauses the main window's master timer and gives it back however the operation
// ends (return, refusal or a link error unwinding in tests).
#include "device/GeneralStuff.h"

class MasterTimerPause {
public:
    MasterTimerPause() = default;
    MasterTimerPause(const MasterTimerPause&) = delete;
    MasterTimerPause& operator=(const MasterTimerPause&) = delete;
    ~MasterTimerPause() {
        if (paused_ && GeneralStuff::Views.main)
            GeneralStuff::Views.main->setMasterTimerEnabled(wasEnabled_);
    }

    void pause() {
        MainWindowView* main = GeneralStuff::Views.main;
        if (paused_ || !main)
            return;
        wasEnabled_ = main->masterTimerEnabled();
        main->setMasterTimerEnabled(false);
        paused_ = true;
    }

private:
    bool paused_ = false;
    bool wasEnabled_ = true;
};
