#include "job/PrinterHealth.h"

#include "log/DiagnosticLog.h"
#include "print/PrinterNames.h"
#include "status/ServerStatus.h"

#include <algorithm>

PrinterHealth::PrinterHealth(ServerStatus& status, DiagnosticLog& log)
    : m_status(status)
    , m_log(log)
    , m_clock([] { return QDateTime::currentDateTime(); }) {}

PrinterHealth::Printer& PrinterHealth::At(const QString& name, const QString& path) {
    Printer& printer = m_printers[path.toCaseFolded()];
    if (printer.path.isEmpty())
        printer.path = path;
    if (!HoldsPrinterName(printer.names, name))
        printer.names << name;
    return printer;
}

const PrinterHealth::Failing* PrinterHealth::FailingAt(const QString& path) const {
    const auto found = m_printers.constFind(path.toCaseFolded());
    return found != m_printers.constEnd() && found->failing ? &found->failure : nullptr;
}

void PrinterHealth::Printed(const QString& name, const QString& path) {
    Printer& printer = At(name, path);
    ++m_ticketsPrinted;
    if (printer.back)
        ++printer.printedSinceBack;
}

void PrinterHealth::Failed(const QString& name, const QString& path, const QString& reason) {
    Printer& printer = At(name, path);
    if (!printer.failing)
        printer.failure.since = now();
    printer.failing = true;
    printer.failure.reason = reason;
    printer.back = false;
    printer.nextCheck = now().addMSecs(kCheckIntervalMs);
    m_status.PrinterFailed(name, reason);
}

void PrinterHealth::CheckFailing(const Check& check) {
    const QDateTime checkedAt = now();
    for (auto it = m_printers.begin(); it != m_printers.end(); ++it) {
        Printer& printer = it.value();
        if (!printer.failing || printer.nextCheck > checkedAt)
            continue;
        const QString reason = check(printer.path);
        printer.nextCheck = now().addMSecs(kCheckIntervalMs);
        if (!reason.isEmpty()) {
            printer.failure.reason = reason;
            for (const QString& name : std::as_const(printer.names))
                m_status.PrinterFailed(name, reason);
            continue;
        }
        printer.failing = false;
        printer.back = true;
        printer.printedSinceBack = 0;
        for (const QString& name : std::as_const(printer.names))
            m_status.PrinterBack(name);
    }
}

void PrinterHealth::WaitingDone(const QStringList& awaitedPrinters) {
    for (Printer& printer : m_printers) {
        if (!printer.back)
            continue;
        const bool awaited = std::any_of(printer.names.cbegin(), printer.names.cend(),
                                         [&awaitedPrinters](const QString& name) {
                                             return HoldsPrinterName(awaitedPrinters, name);
                                         });
        if (awaited)
            continue;
        printer.back = false;
        m_log.LogLine(
            QStringLiteral("Yazici yeniden calisiyor: ") +
                printer.names.join(QStringLiteral(", ")) +
                QStringLiteral(" -- bekleyen %1 fis yazdirildi").arg(printer.printedSinceBack),
            true);
    }
}
