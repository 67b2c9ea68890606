#pragma once

#include <QStringList>

// The names of the ODBC drivers that the driver manager knows, as its own driver list gives
// them; empty when no driver manager answers.
QStringList InstalledOdbcDrivers();
