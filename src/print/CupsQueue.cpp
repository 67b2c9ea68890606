#include "print/CupsQueue.h"

#include "core/Error.h"

#include <QFile>
#include <QPageLayout>
#include <QPrinter>
#include <cups/cups.h>
#include <utility>

std::unique_ptr<SpoolerQueue> SpoolerQueue::Open(const QString& printerName) {
    return std::make_unique<CupsQueue>(printerName);
}

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

CupsQueue::CupsQueue(QString printerName)
    : m_printerName(std::move(printerName)) {
    const Destination destination = DestinationOf(m_printerName);
    m_destination.reset(cupsGetNamedDest(
        CUPS_HTTP_DEFAULT, destination.name.constData(),
        destination.instance.isEmpty() ? nullptr : destination.instance.constData()));
    if (!m_destination)
        m_destinationError = LastCupsError();
}

CupsQueue::~CupsQueue() = default;

void CupsQueue::DestinationRelease::operator()(cups_dest_s* destination) const {
    cupsFreeDests(1, destination);
}

void CupsQueue::RequireReady() const {
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

void CupsQueue::Direct(QPrinter& printer) {
    printer.setPrinterName(m_printerName);
    printer.setOutputFileName(DocumentFile());
    // Qt's high resolution is 1200 dpi on CUPS, which a 203-dpi printer would take for six dots
    // each.
    if (const int dotsPerInch = DotsPerInch(); dotsPerInch > 0)
        printer.setResolution(dotsPerInch);
}

void CupsQueue::Submit(QPainter& painter, const QPrinter& printer) {
    EndDocument(painter, printer);
    const Destination destination = DestinationOf(m_printerName);
    const QByteArray media = printer.pageLayout().pageSize().key().toLocal8Bit();
    cups_option_t* options = nullptr;
    int optionCount = cupsAddOption("media", media.constData(), 0, &options);
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
                       QFile::encodeName(DocumentFile()).constData(), "", optionCount, options);
    cupsFreeOptions(optionCount, options);
    QFile::remove(DocumentFile());
    if (job == 0)
        throw PrinterError(QStringLiteral("Yazici kuyrugu belgeyi almadi: ") + m_printerName +
                           QStringLiteral(" (") + LastCupsError() + QLatin1Char(')'));
}

int CupsQueue::DotsPerInch() const {
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

QString CupsQueue::DocumentFile() const {
    // No ".pdf" suffix: the printer keeps its own engine and settings, only its output goes here.
    return m_spool.filePath(QStringLiteral("belge"));
}
