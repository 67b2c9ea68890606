#include "print/SpoolerQueue.h"

#include "core/Error.h"

#include <QStringList>
#include <utility>

#ifdef Q_OS_WIN
#include <vector>
#include <windows.h>
#include <winspool.h>
#else
#include <QFile>
#include <cups/cups.h>
#endif

#ifdef Q_OS_WIN

SpoolerQueue::SpoolerQueue(QString printerName)
    : m_printerName(std::move(printerName)) {}

SpoolerQueue::~SpoolerQueue() = default;

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

void SpoolerQueue::RequireReady() const {
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

int SpoolerQueue::DotsPerInch() const {
    return 0; // the printer object works at the driver's resolution already
}

QString SpoolerQueue::documentFile() const {
    return QString();
}

void SpoolerQueue::Submit(const QString&) {}

#else

namespace {

// CUPS names a queue and, after a slash, one of its instances.
struct Destination {
    QByteArray name;
    QByteArray instance;
};

Destination DestinationOf(const QString& printerName) {
    const qsizetype slash = printerName.indexOf(QLatin1Char('/'));
    if (slash < 0)
        return {printerName.toLocal8Bit(), QByteArray()};
    return {printerName.left(slash).toLocal8Bit(), printerName.mid(slash + 1).toLocal8Bit()};
}

QString LastCupsError() {
    return QString::fromLocal8Bit(cupsLastErrorString());
}

} // namespace

SpoolerQueue::SpoolerQueue(QString printerName)
    : m_printerName(std::move(printerName)) {
    const Destination destination = DestinationOf(m_printerName);
    m_destination.reset(cupsGetNamedDest(
        CUPS_HTTP_DEFAULT, destination.name.constData(),
        destination.instance.isEmpty() ? nullptr : destination.instance.constData()));
    if (!m_destination)
        m_destinationError = LastCupsError();
}

SpoolerQueue::~SpoolerQueue() = default;

void SpoolerQueue::DestinationRelease::operator()(cups_dest_s* destination) const {
    cupsFreeDests(1, destination);
}

void SpoolerQueue::RequireReady() const {
    if (!m_spool.isValid())
        throw PrinterError(QStringLiteral("Gecici yazdirma dosyasi olusturulamadi: ") +
                           m_spool.errorString());
    if (!m_destination) {
        throw PrinterError(QStringLiteral("Yazici kuyruguna ulasilamadi: ") + m_printerName +
                           QStringLiteral(" (") + m_destinationError + QLatin1Char(')'));
    }
    const auto option = [this](const char* name) {
        return QString::fromUtf8(
            cupsGetOption(name, m_destination->num_options, m_destination->options));
    };
    const bool accepting = option("printer-is-accepting-jobs") != QLatin1String("false");
    // IPP printer-state 5: stopped, as CUPS leaves a queue whose backend failed.
    const bool stopped = option("printer-state") == QLatin1String("5");
    const QString reasons = option("printer-state-reasons");

    const QString because = reasons.isEmpty() || reasons == QLatin1String("none")
                                ? QString()
                                : QStringLiteral(" (CUPS: ") + reasons + QLatin1Char(')');
    if (!accepting)
        throw PrinterError(QStringLiteral("Yazici kuyrugu is kabul etmiyor: ") + m_printerName +
                           because);
    if (stopped)
        throw PrinterError(QStringLiteral("Yazici kuyrugu durdurulmus: ") + m_printerName +
                           because);
}

int SpoolerQueue::DotsPerInch() const {
    if (!m_destination)
        return 0;
    int dotsPerInch = 0;
    if (cups_dinfo_t* information = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, m_destination.get())) {
        if (ipp_attribute_t* resolution = cupsFindDestDefault(
                CUPS_HTTP_DEFAULT, m_destination.get(), information, "printer-resolution")) {
            int vertical = 0;
            ipp_res_t units = IPP_RES_PER_INCH;
            const int horizontal = ippGetResolution(resolution, 0, &vertical, &units);
            dotsPerInch = units == IPP_RES_PER_CM ? qRound(horizontal * 2.54) : horizontal;
        }
        cupsFreeDestInfo(information);
    }
    return dotsPerInch;
}

QString SpoolerQueue::documentFile() const {
    // No ".pdf" suffix: the printer keeps its own engine and settings, only its output goes here.
    return m_spool.filePath(QStringLiteral("belge"));
}

void SpoolerQueue::Submit(const QString& media) {
    const Destination destination = DestinationOf(m_printerName);
    const QByteArray mediaValue = media.toLocal8Bit();
    cups_option_t* options = nullptr;
    int optionCount = cupsAddOption("media", mediaValue.constData(), 0, &options);
    // The queue's instance options and the user's lpoptions (copies, the cutter), as lp sends
    // them; the paper is the ticket's own.
    if (m_destination) {
        for (int i = 0; i < m_destination->num_options; ++i) {
            const cups_option_t& option = m_destination->options[i];
            if (!cupsGetOption(option.name, optionCount, options))
                optionCount = cupsAddOption(option.name, option.value, optionCount, &options);
        }
    }
    const int job =
        cupsPrintFile2(CUPS_HTTP_DEFAULT, destination.name.constData(),
                       QFile::encodeName(documentFile()).constData(), "", optionCount, options);
    cupsFreeOptions(optionCount, options);
    QFile::remove(documentFile());
    if (job == 0)
        throw PrinterError(QStringLiteral("Yazici kuyrugu belgeyi almadi: ") + m_printerName +
                           QStringLiteral(" (") + LastCupsError() + QLatin1Char(')'));
}

#endif
