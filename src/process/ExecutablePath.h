#pragma once

#include <QString>

// The running executable's absolute path, known before the application object exists.
QString ExecutablePath();
