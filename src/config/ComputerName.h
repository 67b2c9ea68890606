#pragma once

#include <QString>

// The machine's short network name as the operating system reports it, at most 15
// characters, as a NetBIOS computer name is.
QString ComputerNameOf();
