#include "process/HeadlessPlatform.h"

#include <QtGlobal>

void ChooseOffscreenPlatformWithoutDisplay() {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
}

bool IsHeadlessPlatform(const QString& platformName) {
    return platformName == QLatin1String("offscreen") || platformName == QLatin1String("minimal");
}
