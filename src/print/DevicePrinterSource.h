#pragma once

#include "print/EscPosCanvas.h"
#include "print/EscPosConnection.h"
#include "print/PrinterSource.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

// The printers of the running server: the installed system printers, virtual PDF printers
// written as "pdf:DIR" (DIR relative to the base directory unless absolute), and ESC/POS
// receipt printers reached directly, "escpos://HOST[:PORT]" or "escpos:DEVICE"
// (print/EscPosAddress.h), and kitchen screens, "ekran:NAME" (print/ScreenAddress.h). The
// server has one source for its whole run, so the system's printers are listed once per process:
// a printer installed later is seen after a restart. The ticket options (print/PrinterOptions.h)
// of a "pdf:" or "escpos:" printer follow a "?" in its path; those of a system printer are given
// from Velmora.ini. Options that are refused fail the printer's tickets and checks, naming the
// option.
class DevicePrinterSource : public PrinterSource {
public:
    // The options of a system printer, as "name=value&...", and where they were written.
    struct SpoolerOptions {
        QString where;
        QString text;
    };

    // The base directory is normally the executable's.
    explicit DevicePrinterSource(QString baseDirectory);

    QStringList InstalledPrinters() override;
    bool IsVirtualPrinter(const QString& path) const override;
    std::unique_ptr<PrintCanvas> Select(const QString& printer) override;
    QString Check(const QString& printer) override;
    KitchenScreens* Screens() override { return m_screens; }

    void setScreens(KitchenScreens* screens) { m_screens = screens; }

    void setEscPosTimeouts(const EscPosTimeouts& timeouts) { m_escPosTimeouts = timeouts; }
    // By the system printer's name, under the printer-name rule (print/PrinterNames.h).
    void setSpoolerOptions(const QHash<QString, SpoolerOptions>& options);

    // The directory a "pdf:DIR" path writes into.
    QString PdfDirectory(const QString& path) const;
    // The ticket options of a printer path or an installed printer's name. Throws PrinterError
    // naming an option it refuses.
    TicketOptions TicketOptionsOf(const QString& printer) const;

private:
    // The longest a check waits for a receipt printer to connect, take bytes or answer.
    static constexpr int kCheckWaitMs = 1000;

    QString m_baseDirectory;
    std::optional<QStringList> m_installed; // listed at the first call, then kept
    EscPosTimeouts m_escPosTimeouts;
    EscPosAnswerHistory m_escPosAnswers;
    KitchenScreens* m_screens = nullptr;
    QHash<QString, SpoolerOptions> m_spoolerOptions; // by the case-folded name
};
