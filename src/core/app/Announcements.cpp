#include "app/Announcements.h"

Announcements& Announcements::program() {
    static Announcements announcer;
    return announcer;
}
