#include "print/PrintEngine.h"

#include "core/Error.h"
#include "print/KitchenScreens.h"
#include "print/PrinterNames.h"
#include "print/TicketRenderer.h"

#include <QThread>

PrintEngine::PrintEngine(const QString& billNumber, const PrintSettings& settings,
                         DiagnosticLog& log, PrinterSource& printers, Pause pause)
    : m_billNumber(billNumber)
    , m_settings(settings)
    , m_log(log)
    , m_printers(printers)
    , m_pause(std::move(pause))
    , m_clock([] { return QDateTime::currentDateTime(); }) {}

PrintEngine::Pause PrintEngine::SleepPause() {
    return [](int milliseconds) {
        QThread::msleep(static_cast<unsigned long>(milliseconds));
    };
}

PrintOutcome PrintEngine::PrintTicket(const QString& path, const Ticket& ticket) {
    if (m_settings.dummy)
        return {};

    const QString printer = FindInstalledPrinter(m_printers, path);
    if (printer.isEmpty()) {
        m_log.LogLine(QLatin1String("Yazici Bulunamadi -- FisID:") + m_billNumber +
                          QLatin1String(" Yazici: ") + path,
                      true);
        return {true, QString(), QString()};
    }
    if (ScreenAddress::IsScreenPath(printer)) {
        ShowOnScreen(printer, ticket);
        m_log.LogLine(QLatin1String(">> Gonderildi:") + path, false);
        return {};
    }

    const std::unique_ptr<PrintCanvas> canvas = m_printers.Select(printer);
    // Laid out once on a page without end, which gives the page its length. A device whose
    // pages are shorter breaks the ticket over them, so it is laid out again on those, at the
    // moments the first layout read, so that both say the same.
    QList<QDateTime> moments;
    TicketLayout layout = TicketRenderer(*canvas, m_settings, [&] {
                              return moments.emplace_back(m_clock());
                          }).Layout(ticket);
    canvas->BeginDocument(layout.height);
    try {
        if (canvas->PageHeight() < layout.height) {
            const auto sameMoments = [&moments, next = qsizetype(0)]() mutable {
                return moments.value(next++);
            };
            layout = TicketRenderer(*canvas, m_settings, sameMoments, canvas->PageHeight())
                         .Layout(ticket);
        }
        layout.Paint(*canvas);
        canvas->EndDocument();
    } catch (...) {
        // A half-sent document would block or garble the next job on this printer.
        canvas->Abort();
        throw;
    }

    NoteWarning(path, canvas->Warning());
    m_log.LogLine(QLatin1String(">> Gonderildi:") + path, false);
    const QString fault = canvas->FaultAfterDocument();
    if (!fault.isEmpty())
        m_log.LogLine(QStringLiteral("Fis yazdirildi, yazici sonrasinda hata bildirdi -- FisID:") +
                          m_billNumber + QStringLiteral(" Yazici: ") + path +
                          QStringLiteral(" Hata: ") + fault,
                      true);
    if (!canvas->ConfirmsPrinting())
        m_pause(kPauseAfterTicket);
    return {false, fault, canvas->Warning()};
}

QString PrintEngine::CheckPrinter(const QString& path) {
    if (m_settings.dummy)
        return QString();
    const QString printer = FindInstalledPrinter(m_printers, path);
    // A path that names no printer prints nothing and so never fails.
    return printer.isEmpty() ? QString() : m_printers.Check(printer);
}

void PrintEngine::ShowOnScreen(const QString& printer, const Ticket& ticket) {
    KitchenScreens* screens = m_printers.Screens();
    if (!screens)
        throw PrinterError(KitchenScreens::kNotConnected);
    screens->Show(ScreenAddress::Parse(printer), ticket);
}

void PrintEngine::NoteWarning(const QString& path, const QString& warning) {
    if (warning.isEmpty()) {
        m_warned.remove(path);
        return;
    }
    if (m_warned.value(path) == warning)
        return;
    m_warned.insert(path, warning);
    m_log.LogLine(QStringLiteral("Uyari: ") + warning + QStringLiteral(" -- Yazici: ") + path,
                  true);
}
