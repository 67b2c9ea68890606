#include "process/HeadlessMessages.h"

HeadlessMessages::HeadlessMessages(DiagnosticLog& log, std::ostream& errorStream)
    : m_log(log)
    , m_errorStream(errorStream) {}

void HeadlessMessages::ShowMessage(const QString& text) {
    report(text);
}

bool HeadlessMessages::AskQuestion(const QString& text) {
    report(text + QStringLiteral(" (cevap: Hayir)"));
    return false;
}

void HeadlessMessages::report(const QString& text) {
    m_log.LogLine(text, true);
    // The messages hold line breaks of their own (CR LF); the error stream keeps plain ones.
    QString line = text;
    line.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    m_errorStream << line.toLocal8Bit().constData() << std::endl;
}
