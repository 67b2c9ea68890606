#include "print/WindowsSpoolerQueue.h"

#include "core/Error.h"

#include <QPrinter>
#include <QStringList>
#include <utility>
#include <vector>
#include <windows.h>
#include <winspool.h>

std::unique_ptr<SpoolerQueue> SpoolerQueue::Open(const QString& printerName) {
    return std::make_unique<WindowsSpoolerQueue>(printerName);
}

WindowsSpoolerQueue::WindowsSpoolerQueue(QString printerName)
    : m_printerName(std::move(printerName)) {}

namespace {

// The spooler's status bits that keep a document from printing, with the words for them.
const std::pair<DWORD, const char*> kBlockingStatuses[] = {
    {PRINTER_STATUS_PAUSED, "duraklatilmis"},
    {PRINTER_STATUS_ERROR, "hata"},
    {PRINTER_STATUS_OFFLINE, "cevrim disi"},
    {PRINTER_STATUS_NOT_AVAILABLE, "kullanilamiyor"},
    {PRINTER_STATUS_PENDING_DELETION, "siliniyor"},
    {PRINTER_STATUS_PAPER_OUT, "kagit bitti"},
    {PRINTER_STATUS_PAPER_JAM, "kagit sikisti"},
    {PRINTER_STATUS_DOOR_OPEN, "kapak acik"},
    {PRINTER_STATUS_USER_INTERVENTION, "kullanici mudahalesi gerekiyor"},
};

} // namespace

void WindowsSpoolerQueue::RequireReady() const {
    std::wstring name = m_printerName.toStdWString();
    HANDLE printer = nullptr;
    if (!OpenPrinterW(name.data(), &printer, nullptr))
        throw PrinterError(QStringLiteral("Yazici acilamadi: ") + m_printerName);
    DWORD needed = 0;
    GetPrinterW(printer, 2, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed);
    const bool read = needed > 0 && GetPrinterW(printer, 2, buffer.data(), needed, &needed);
    ClosePrinter(printer);
    if (!read)
        throw PrinterError(QStringLiteral("Yazici durumu okunamadi: ") + m_printerName);

    const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
    QStringList reasons;
    for (const auto& [status, words] : kBlockingStatuses) {
        if (info->Status & status)
            reasons << QString::fromLatin1(words);
    }
    if (info->Attributes & PRINTER_ATTRIBUTE_WORK_OFFLINE)
        reasons << QStringLiteral("cevrim disi kullaniliyor");
    if (!reasons.isEmpty()) {
        throw PrinterError(QStringLiteral("Yazici hazir degil: ") + m_printerName +
                           QStringLiteral(" (") + reasons.join(QStringLiteral(", ")) +
                           QLatin1Char(')'));
    }
}

void WindowsSpoolerQueue::Direct(QPrinter& printer) {
    // Qt's high resolution is the driver's own here.
    printer.setPrinterName(m_printerName);
}

void WindowsSpoolerQueue::Submit(QPainter& painter, const QPrinter& printer) {
    // Ending the document ends the spooler's document: the spooler has it then.
    EndDocument(painter, printer);
}
