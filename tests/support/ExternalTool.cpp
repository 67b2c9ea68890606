#include "support/ExternalTool.h"

#include <QProcess>

ToolRun RunTool(const QString& program, const QStringList& arguments, int timeoutMs,
                const QByteArray& input) {
    ToolRun run;
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForStarted())
        return run;
    if (!input.isEmpty()) {
        process.write(input);
        process.closeWriteChannel();
    }
    if (!process.waitForFinished(timeoutMs))
        process.kill();
    process.waitForFinished();
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.output = QString::fromUtf8(process.readAllStandardOutput());
    run.errors = QString::fromUtf8(process.readAllStandardError());
    return run;
}
