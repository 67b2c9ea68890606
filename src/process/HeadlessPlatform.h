#pragma once

#include <QString>

// Call before the application object exists. When no platform is named and there is no
// display to connect to, picks the offscreen platform, so that a server started without a
// desktop runs headless instead of aborting.
void ChooseOffscreenPlatformWithoutDisplay();

// Platforms on which no window, tray icon or message box reaches anybody.
bool IsHeadlessPlatform(const QString& platformName);
