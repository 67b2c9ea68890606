#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The outcome of a command-line tool run to the end (or killed after the timeout).
struct ToolRun {
    int exitCode = -1;
    QString output; // standard output, UTF-8
    QString errors;
};

// The input, when given, is the tool's standard input.
ToolRun RunTool(const QString& program, const QStringList& arguments, int timeoutMs = 30000,
                const QByteArray& input = QByteArray());
