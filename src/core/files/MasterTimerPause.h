#pragma once
// Pauses the main window's master timer and gives it back however the operation
// ends (return, refusal or a link error unwinding in tests).
#include "app/Announcements.h"

class MasterTimerPause {
public:
    MasterTimerPause() = default;
    MasterTimerPause(const MasterTimerPause&) = delete;
    MasterTimerPause& operator=(const MasterTimerPause&) = delete;
    ~MasterTimerPause() {
        if (paused_)
            emit Announcements::program().masterTimerResumed();
    }

    void pause() {
        if (paused_)
            return;
        paused_ = true;
        emit Announcements::program().masterTimerPaused();
    }

private:
    bool paused_ = false;
};
