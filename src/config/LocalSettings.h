#pragma once

#include "print/BackupPrinters.h"
#include "print/DevicePrinterSource.h"
#include "print/PrintSettings.h"
#include "print/PrinterRegistry.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QUrl>

class DiagnosticLog;
class IniFiles;

// The switches of Velmora.ini that start-up reads in one go.
struct LocalSwitches {
    bool customerFlag = false;
    bool tableInfoFlag = true;
    bool dummy = false;
    bool verbose = false;
};

// The status page: its port (0: no page), the password that opens it to the network, whether
// it is served over TLS, with which certificate and key, and the key that opens its /metrics
// to the network (to "Authorization: Bearer" with it).
struct StatusPageSettings {
    static constexpr int kMinMetricsTokenLength = 16;

    int port = 8480;
    QString password;
    bool https = false;
    // The owner's own files, when Velmora.ini names either; else the pair made beside it.
    // Defaulted, so that settings given up to the password are complete.
    bool ownCertificate = false;
    QString certificateFile = {};
    QString keyFile = {};
    QString metricsToken = {};
};

// Where the faults are told, how long one must last first, and in what form.
struct NotificationSettings {
    enum class Format { Ntfy, Json };

    QUrl address; // empty: nothing is sent
    int delaySeconds = 60;
    Format format = Format::Ntfy;
};

// This machine's settings in Velmora.ini, each read in the order start-up needs it. A missing
// key is written with its default, so the first start leaves a file listing every setting;
// a file that cannot be written raises IniFileError.

// "Font boyu", then the margins "Sol", "Sag", "Ust" and "Alt"; dummy mode is left as it is.
void ReadPrintLayout(IniFiles& ini, PrintSettings& settings);
// "Acilista bekleme suresi" in milliseconds; a negative value means no pause.
int ReadStartupPause(IniFiles& ini);
// The customer and table-information switches, then dummy and verbose mode.
LocalSwitches ReadLocalSwitches(IniFiles& ini);
// "Hesap fislerinde doviz kurlarini yaz".
bool ReadPrintRatesSwitch(IniFiles& ini);
// The section "Yedek Yazicilar": each key a logical printer, its value the printer's backup.
// Nothing is written: without the section no printer has a backup.
BackupPrinters ReadBackupPrinters(const IniFiles& ini);
// The sections "Yazici NAME": the options (print/PrinterOptions.h) of the logical printer NAME
// of the registry, by the system printer its path names; nothing is written. A path with a
// scheme carries its own options: a section for it is logged as unused. Of two sections for
// one system printer the first counts.
QHash<QString, DevicePrinterSource::SpoolerOptions>
ReadSpoolerOptions(const IniFiles& ini, const QList<TYazici>& registry,
                   const PrinterSource& printers, DiagnosticLog& log);
// "Hizli kontrol (ms)": how often the queue is asked between the poll ticks whether a job came
// in; 0 or less asks only at the ticks, and the least is kMinQueueCheckInterval.
inline constexpr int kDefaultQueueCheckInterval = 200;
inline constexpr int kMinQueueCheckInterval = 50;
int ReadQueueCheckInterval(IniFiles& ini);
// "Saklama suresi (gun)" of the ticket journal, at least one day.
int ReadJournalRetention(IniFiles& ini);
// The section "Durum Sayfasi": "Port", "Sifre", "HTTPS", "Sertifika", "Anahtar" and
// "Metrik anahtari"; relative file names are beside the ini files, and a key shorter than
// kMinMetricsTokenLength is logged and left out, so /metrics stays on this machine.
StatusPageSettings ReadStatusPageSettings(IniFiles& ini, DiagnosticLog& log);
// The section "Bildirim": "Adres" (http or https), "Gecikme (sn)" and "Bicim" (ntfy or json).
// An address that is no such URL is logged and left out; an unknown form is logged and is ntfy.
NotificationSettings ReadNotificationSettings(IniFiles& ini, DiagnosticLog& log);
