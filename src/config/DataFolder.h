#pragma once

#include <QString>

// The folder of the restaurant's files: the ini files, the log, the journal, Doviz.xml and the
// PDF printers' folders. The zip and a build tree keep them beside the executable. The Windows
// setup and the Linux package put the program where only administrators may write and name the
// restaurant's folder in Kurulum.ini beside it ("Veri klasoru" in [Kurulum], absolute or
// relative to the executable's directory), so that no account that runs the server can change
// the program. A Kurulum.ini that cannot be read raises IniFileError.
QString DataFolderOf(const QString& executableDirectory);
