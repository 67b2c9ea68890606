#include "web/HtmlPages.h"

#include "http/WebSessions.h"
#include "print/PrinterNames.h"
#include "web/HtmlParts.h"

#include <QHash>

namespace HtmlPages {

using HtmlParts::Cell;
using HtmlParts::Esc;
using HtmlParts::PostForm;
using HtmlParts::Table;

namespace {

QString Time(const QDateTime& time) {
    return time.isValid() ? time.toString(QStringLiteral("dd.MM HH:mm:ss")) : QStringLiteral("-");
}

// "0,4 / 0,9 sn" (or "dk" in minutes), or "-" before the day's first.
QString Percentiles(qint64 p50, qint64 p95, qint64 unitMs, const QString& unit) {
    if (p50 < 0)
        return QStringLiteral("-");
    const auto inUnit = [unitMs](qint64 milliseconds) {
        return QString::number(static_cast<double>(milliseconds) / unitMs, 'f', 1)
            .replace(u'.', u',');
    };
    return inUnit(p50) + QStringLiteral(" / ") + inUnit(p95) + QLatin1Char(' ') + unit;
}

QString Waits(const PrinterSnapshot& printer) {
    return Percentiles(printer.waitP50, printer.waitP95, 1000, QStringLiteral("sn"));
}

QString PrinterKind(const QString& path) {
    if (path.startsWith(QStringLiteral("pdf:"), Qt::CaseInsensitive))
        return QStringLiteral("PDF klasörü");
    if (path.startsWith(QStringLiteral("escpos:"), Qt::CaseInsensitive))
        return QStringLiteral("Fiş yazıcısı");
    if (path.startsWith(QStringLiteral("ekran:"), Qt::CaseInsensitive))
        return QStringLiteral("Mutfak ekranı");
    return QStringLiteral("Sistem yazıcısı");
}

// A name with its path in small letters below it.
Cell NameAndPath(const QString& name, const QString& path) {
    return Cell::Html(Esc(name) + QStringLiteral("<br><small>") + Esc(path) +
                      QStringLiteral("</small>"));
}

Cell StateCell(const PrinterSnapshot& printer) {
    switch (printer.state) {
    case PrinterSnapshot::State::Working:
        return Cell::Html(QStringLiteral("Çalışıyor"), QStringLiteral("iyi"));
    case PrinterSnapshot::State::PaperLow:
        return Cell::Html(QStringLiteral("Kağıt azalıyor"), QStringLiteral("uyari"));
    case PrinterSnapshot::State::Missing:
        return Cell::Html(QStringLiteral("Bulunamadı"), QStringLiteral("hata"));
    case PrinterSnapshot::State::Failing:
        break;
    }
    const QString since = printer.since.isValid() ? QStringLiteral(" (") + Time(printer.since) +
                                                        QStringLiteral("'den beri)")
                                                  : QString();
    return Cell::Html(QStringLiteral("Çalışmıyor: ") + Esc(printer.reason + since),
                      QStringLiteral("hata"));
}

QString Age(qint64 seconds) {
    return seconds < 60 ? QStringLiteral("%1 sn").arg(seconds)
                        : QStringLiteral("%1 dk").arg(seconds / 60);
}

QString Paragraph(const QString& text, const QString& cssClass = QString()) {
    return (cssClass.isEmpty() ? QStringLiteral("<p>")
                               : QStringLiteral("<p class=\"") + cssClass + QStringLiteral("\">")) +
           Esc(text) + QStringLiteral("</p>");
}

const QString kStyle = QStringLiteral(
    "<style>"
    "body{font-family:sans-serif;margin:0;background:#f4f6f9;color:#222}"
    "nav{background:#24405e;padding:.6em;display:flex;flex-wrap:wrap;gap:.4em}"
    "nav a,nav button{color:#fff;background:none;border:0;font-size:1.1em;"
    "padding:.4em .7em;text-decoration:none}"
    "main{padding:.6em}table{border-collapse:collapse;width:100%;background:#fff}"
    "td,th{border-bottom:1px solid #ddd;padding:.3em;text-align:left;vertical-align:top;"
    "font-size:.9em}small{color:#555}td,small,pre,p{overflow-wrap:anywhere}"
    "pre{white-space:pre-wrap}"
    ".iyi{color:#176b2c}.uyari{color:#9a6400}.hata{color:#b3261e;font-weight:bold}"
    "button{font-size:1em;padding:.4em .8em}input,select{font-size:1em;padding:.3em;"
    "max-width:100%}img{max-width:100%;border:1px solid #ccc;background:#fff}"
    // A phone shows each row as a block of labelled fields.
    "@media(max-width:640px){table,tbody,tr{display:block}th{display:none}"
    "tr{border-bottom:2px solid #ccc;padding:.3em}td{display:inline-block;border:0;"
    "padding:.15em .8em .15em 0}"
    "td[data-k]::before{content:attr(data-k) \": \";color:#555;font-weight:normal}}"
    "</style>");

} // namespace

QString JobTypeName(const QString& type) {
    static const QHash<QString, QString> names{
        {QStringLiteral("0"), QStringLiteral("Üretim")},
        {QStringLiteral("1"), QStringLiteral("Adisyon")},
        {QStringLiteral("2"), QStringLiteral("İptal")},
        {QStringLiteral("3"), QStringLiteral("Parçalı hesap")},
        {QStringLiteral("4"), QStringLiteral("E-adisyon")},
        {QStringLiteral("5"), QStringLiteral("POS cari")},
        {QStringLiteral("TEKRAR"), QStringLiteral("Tekrar basım")},
        {QStringLiteral("TEST"), QStringLiteral("Test sayfası")}};
    return names.value(type, type);
}

QString Layout(const QString& title, const QString& data, bool withLogout, const QByteArray& token,
               bool refreshing) {
    QString page =
        QStringLiteral("<!DOCTYPE html><html lang=\"tr\"><head><meta charset=\"utf-8\">"
                       "<meta name=\"viewport\" content=\"width=device-width,initial-scale=1\">"
                       "<title>Velmora - ") +
        Esc(title) + QStringLiteral("</title>") + kStyle +
        QStringLiteral("</head><body><nav><a href=\"/\">Yazıcılar</a><a href=\"/kuyruk\">Kuyruk</a>"
                       "<a href=\"/gunluk\">Günlük</a>");
    if (withLogout)
        page += PostForm(QStringLiteral("/cikis"), token, {}, QStringLiteral("Çıkış"));
    page += QStringLiteral("</nav><main><h1>") + Esc(title) +
            QStringLiteral("</h1><div id=\"veri\">") + data + QStringLiteral("</div></main>");
    if (refreshing) {
        // Only the data is fetched again: a form being filled in stays as it is.
        page += QStringLiteral("<script src=\"/yenile.js\"></script>");
    }
    return page + QStringLiteral("</body></html>");
}

QString RoleLine(const QString& text) {
    return text.isEmpty() ? QString()
                          : QStringLiteral("<p>") +
                                Esc(text).replace(QLatin1Char('\n'), QStringLiteral("<br>")) +
                                QStringLiteral("</p>");
}

QString Printers(const QList<PrinterSnapshot>& printers, const QByteArray& token) {
    Table table({QStringLiteral("Yazıcı"), QStringLiteral("Tür"), QStringLiteral("Durum"),
                 QStringLiteral("Bekleyen"), QStringLiteral("Son fiş"),
                 QStringLiteral("Bugün bekleme p50 / p95"), QString()});
    for (const PrinterSnapshot& printer : printers) {
        table.AddRow({NameAndPath(printer.name, printer.path), PrinterKind(printer.path),
                      StateCell(printer), QString::number(printer.waitingTickets),
                      Time(printer.lastTicket), Waits(printer),
                      Cell::Html(PostForm(QStringLiteral("/test"), token,
                                          {{QStringLiteral("yazici"), printer.name}},
                                          QStringLiteral("Test sayfası")))});
    }
    return table.Html();
}

QString Notifications(const NotificationSnapshot& notifications, const QByteArray& token) {
    if (notifications.destination.isEmpty())
        return Paragraph(QStringLiteral("Bildirim adresi yok (Velmora.ini [Bildirim] Adres)."));
    QString last = QStringLiteral("henüz gönderilmedi");
    if (notifications.lastTime.isValid()) {
        last = QStringLiteral("son gönderim ") + Time(notifications.lastTime) +
               (notifications.lastError.isEmpty()
                    ? QStringLiteral(": ulaştı")
                    : QStringLiteral(": ulaşmadı -- ") + notifications.lastError);
    }
    return Paragraph(QStringLiteral("Bildirimler: ") + notifications.destination +
                         QStringLiteral(", ") + last,
                     notifications.lastError.isEmpty() ? QString() : QStringLiteral("hata")) +
           PostForm(QStringLiteral("/bildirim-dene"), token, {}, QStringLiteral("Bildirim dene"));
}

QString Screens(const QList<ScreenSnapshot>& screens, bool networkLinks) {
    if (screens.isEmpty())
        return QString();
    Table table({QStringLiteral("Ekran"), QStringLiteral("Bağlı"), QStringLiteral("Son görülme"),
                 QStringLiteral("Açık kart"), QStringLiteral("Bugün hazırlık p50 / p95"),
                 QStringLiteral("Bağlantı")});
    for (const ScreenSnapshot& screen : screens) {
        QString link = QStringLiteral("<a href=\"") + Esc(screen.link) + QStringLiteral("\">") +
                       Esc(screen.link) + QStringLiteral("</a>");
        if (!networkLinks)
            link +=
                QStringLiteral("<br><small>Şifre yokken yalnızca bu bilgisayarda açılır</small>");
        else if (screen.key.isEmpty())
            link = Cell(QStringLiteral("Ekran anahtarı okunamadı")).html();
        else
            link += QStringLiteral("<br>") + HtmlParts::QrSvg(screen.link);
        table.AddRow(
            {screen.name,
             Cell::Html(QString::number(screen.connected),
                        screen.connected > 0 ? QStringLiteral("iyi") : QStringLiteral("hata")),
             Time(screen.lastSeen),
             screen.openCards < 0 ? Cell::Html(QStringLiteral("Okunamadı"), QStringLiteral("hata"))
                                  : Cell(QString::number(screen.openCards)),
             Percentiles(screen.preparationP50, screen.preparationP95, 60000, QStringLiteral("dk")),
             Cell::Html(link)});
    }
    return QStringLiteral("<h2>Mutfak ekranları</h2>") + table.Html();
}

QString Queue(const QList<QueuedJobSnapshot>& jobs, const QByteArray& token) {
    if (jobs.isEmpty())
        return Paragraph(QStringLiteral("Kuyrukta iş yok."));
    Table table({QStringLiteral("İş"), QStringLiteral("Adisyon"), QStringLiteral("Masa"),
                 QStringLiteral("Tür"), QStringLiteral("Bekliyor"), QStringLiteral("Durum")});
    for (const QueuedJobSnapshot& job : jobs) {
        QString state = QStringLiteral("Sırada");
        if (!job.setAsideReason.isEmpty()) {
            state = QStringLiteral("Atlandı: ") + job.setAsideReason +
                    (job.nextRetry.isValid()
                         ? QStringLiteral(" (yeniden deneme ") + Time(job.nextRetry) + ')'
                         : QString());
        } else if (!job.waitingForPrinter.isEmpty()) {
            state = QStringLiteral("Yazıcıyı bekliyor: ") + job.waitingForPrinter;
        }
        table.AddRow(
            {job.jobId, job.bill, job.table, JobTypeName(job.type), Age(job.ageSeconds), state});
    }
    return table.Html() + PostForm(QStringLiteral("/yeniden-dene"), token, {},
                                   QStringLiteral("Bekleyen işleri yeniden dene"));
}

QString JournalSearch(const QString& search) {
    return QStringLiteral("<form method=\"get\" action=\"/gunluk\">"
                          "<input name=\"ara\" placeholder=\"Adisyon veya masa\" value=\"") +
           Esc(search) + QStringLiteral("\"> <button>Ara</button></form>");
}

QString Journal(const QList<JournalEntry>& entries, bool partial, bool unreadable) {
    if (unreadable) {
        return Paragraph(QStringLiteral("Fiş günlüğü okunamadı; ayrıntı günlük dosyasında."),
                         QStringLiteral("hata"));
    }
    if (entries.isEmpty())
        return Paragraph(QStringLiteral("Bugün fiş yok."));
    Table table({QStringLiteral("Saat"), QStringLiteral("Adisyon"), QStringLiteral("Masa"),
                 QStringLiteral("Tür"), QStringLiteral("Yazıcı"), QStringLiteral("Sonuç")});
    for (const JournalEntry& entry : entries) {
        table.AddRow(
            {Cell::Html(QStringLiteral("<a href=\"/fis?id=%1\">").arg(entry.id) +
                        Esc(entry.time.toString(QStringLiteral("HH:mm"))) + QStringLiteral("</a>")),
             entry.bill, entry.table, JobTypeName(entry.jobType),
             NameAndPath(entry.printer, entry.path),
             entry.printed() ? Cell::Html(QStringLiteral("Basıldı"), QStringLiteral("iyi"))
                             : Cell::Html(Esc(entry.error), QStringLiteral("hata"))});
    }
    const QString more =
        partial ? Paragraph(QStringLiteral("Bugünün yalnızca son %1 fişi gösteriliyor; daha "
                                           "eskileri için adisyon veya masa numarasıyla arayın.")
                                .arg(entries.size()),
                            QStringLiteral("uyari"))
                : QString();
    return more + table.Html();
}

QString Ticket(const JournalEntry& entry, const QList<PrinterSnapshot>& printers,
               const QByteArray& token) {
    QString choices = QStringLiteral("<select name=\"yazici\">");
    for (const PrinterSnapshot& printer : printers) {
        const bool own = SamePrinterName(printer.name, entry.printer);
        choices += QStringLiteral("<option") + (own ? QStringLiteral(" selected") : QString()) +
                   QStringLiteral(">") + Esc(printer.name) + QStringLiteral("</option>");
    }
    choices += QStringLiteral("</select> ");
    return QStringLiteral("<p>") +
           Esc(entry.time.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")) +
               QStringLiteral(" · Adisyon ") + entry.bill + QStringLiteral(" · Masa ") +
               entry.table + QStringLiteral(" · ") + entry.waiter + QStringLiteral(" · ") +
               JobTypeName(entry.jobType)) +
           QStringLiteral("<br>") +
           Esc(entry.printer + QStringLiteral(" → ") + entry.path + QStringLiteral(": ") +
               (entry.printed() ? QStringLiteral("Basıldı") : entry.error)) +
           QStringLiteral("</p>") +
           PostForm(QStringLiteral("/tekrar"), token,
                    {{QStringLiteral("id"), QString::number(entry.id)}},
                    QStringLiteral("Tekrar bas"), choices) +
           QStringLiteral("<p><img alt=\"Fiş\" src=\"/fis.png?id=%1\"></p><pre>").arg(entry.id) +
           Esc(entry.lines.join(QLatin1Char('\n'))) + QStringLiteral("</pre>");
}

QString Login(const QString& message) {
    return (message.isEmpty() ? QString() : Paragraph(message, QStringLiteral("hata"))) +
           QStringLiteral("<form method=\"post\" action=\"/giris\"><input type=\"password\" "
                          "name=\"sifre\" autofocus> <button>Giriş</button></form>") +
           Paragraph(
               QStringLiteral("Şifre en az %1 karakterdir.").arg(WebSessions::kMinPasswordLength));
}

QString Message(const QString& text) {
    return Paragraph(text) + QStringLiteral("<p><a href=\"/\">Yazıcılar</a> · "
                                            "<a href=\"/gunluk\">Günlük</a></p>");
}

} // namespace HtmlPages
