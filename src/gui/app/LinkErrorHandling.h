#pragma once
// What the program does with a broken link: stop the master timer, tell the
// user, and close every window so each runs its unload handling.
#include <QString>
#include <cstdint>

void HandleLinkError(int16_t code, const QString& message);
// Makes HandleLinkError the device link's handler; the program end stays the link's own.
void InstallLinkErrorHandler();
