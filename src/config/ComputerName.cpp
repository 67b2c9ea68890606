#include "config/ComputerName.h"

#include <QSysInfo>

namespace {
constexpr int MaxComputerNameLength = 15;
}

QString ComputerNameOf() {
    const QString hostName = QSysInfo::machineHostName();
    return hostName.section(QLatin1Char('.'), 0, 0).left(MaxComputerNameLength);
}
