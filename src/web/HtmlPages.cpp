#include "web/HtmlPages.h"

namespace HtmlPages {

namespace {

QString Esc(const QString& text) {
    return text.toHtmlEscaped();
}

QString Time(const QDateTime& time) {
    return time.isValid() ? time.toString(QStringLiteral("dd.MM HH:mm:ss")) : QStringLiteral("-");
}

QString Cell(const QString& text) {
    return QStringLiteral("<td>") + Esc(text) + QStringLiteral("</td>");
}

// "0.4 / 0.9 sn", or "-" before the day's first ticket.
QString Waits(const PrinterSnapshot& printer) {
    if (printer.waitP50 < 0)
        return QStringLiteral("-");
    const auto seconds = [](qint64 milliseconds) {
        return QString::number(static_cast<double>(milliseconds) / 1000, 'f', 1);
    };
    return seconds(printer.waitP50) + QStringLiteral(" / ") + seconds(printer.waitP95) +
           QStringLiteral(" sn");
}

QString TokenField(const QByteArray& token) {
    return QStringLiteral("<input type=\"hidden\" name=\"token\" value=\"") +
           QString::fromLatin1(token) + QStringLiteral("\">");
}

QString PrinterKind(const QString& path) {
    if (path.startsWith(QStringLiteral("pdf:"), Qt::CaseInsensitive))
        return QStringLiteral("PDF klasoru");
    if (path.startsWith(QStringLiteral("escpos:"), Qt::CaseInsensitive))
        return QStringLiteral("Fis yazicisi");
    return QStringLiteral("Sistem yazicisi");
}

// A name with its path in small letters below it.
QString NameAndPath(const QString& name, const QString& path) {
    return QStringLiteral("<td>") + Esc(name) + QStringLiteral("<br><small>") + Esc(path) +
           QStringLiteral("</small></td>");
}

QString StateText(const PrinterSnapshot& printer) {
    const bool failing = printer.state == PrinterSnapshot::State::Failing;
    const QString style = failing ? QStringLiteral("hata")
                          : printer.state == PrinterSnapshot::State::PaperLow
                              ? QStringLiteral("uyari")
                              : QStringLiteral("iyi");
    const QString since =
        failing && printer.since.isValid()
            ? QStringLiteral(" (") + Time(printer.since) + QStringLiteral("'den beri)")
            : QString();
    return QStringLiteral("<span class=\"") + style + QStringLiteral("\">") +
           Esc(PrinterStateText(printer)) + since + QStringLiteral("</span>");
}

QString Age(qint64 seconds) {
    return seconds < 60 ? QStringLiteral("%1 sn").arg(seconds)
                        : QStringLiteral("%1 dk").arg(seconds / 60);
}

} // namespace

QString JobTypeName(const QString& type) {
    static const QHash<QString, QString> names{
        {QStringLiteral("0"), QStringLiteral("Uretim")},
        {QStringLiteral("1"), QStringLiteral("Adisyon")},
        {QStringLiteral("2"), QStringLiteral("Iptal")},
        {QStringLiteral("3"), QStringLiteral("Parcali hesap")},
        {QStringLiteral("4"), QStringLiteral("E-adisyon")},
        {QStringLiteral("5"), QStringLiteral("POS cari")},
        {QStringLiteral("TEKRAR"), QStringLiteral("Tekrar basim")},
        {QStringLiteral("TEST"), QStringLiteral("Test sayfasi")}};
    return names.value(type, type);
}

QString Layout(const QString& title, const QString& data, bool withLogout, const QByteArray& token,
               bool refreshing) {
    QString page =
        QStringLiteral("<!DOCTYPE html><html lang=\"tr\"><head><meta charset=\"utf-8\">"
                       "<meta name=\"viewport\" content=\"width=device-width,initial-scale=1\">"
                       "<title>Velmora - ");
    page +=
        Esc(title) +
        QStringLiteral(
            "</title><style>"
            "body{font-family:sans-serif;margin:0;background:#f4f6f9;color:#222}"
            "nav{background:#24405e;padding:.6em;display:flex;flex-wrap:wrap;gap:.4em}"
            "nav a,nav button{color:#fff;background:none;border:0;font-size:1.1em;"
            "padding:.4em .7em;text-decoration:none}"
            "main{padding:.6em}table{border-collapse:collapse;width:100%;background:#fff}"
            "td,th{border-bottom:1px solid #ddd;padding:.3em;text-align:left;vertical-align:top;"
            "font-size:.9em}small{color:#555;overflow-wrap:anywhere}"
            ".iyi{color:#176b2c}.uyari{color:#9a6400}.hata{color:#b3261e;font-weight:bold}"
            "button{font-size:1em;padding:.4em .8em}input,select{font-size:1em;padding:.3em}"
            "img{max-width:100%;border:1px solid #ccc;background:#fff}"
            "</style></head><body><nav>"
            "<a href=\"/\">Yazicilar</a><a href=\"/kuyruk\">Kuyruk</a>"
            "<a href=\"/gunluk\">Gunluk</a>");
    if (withLogout) {
        page += QStringLiteral("<form method=\"post\" action=\"/cikis\">") + TokenField(token) +
                QStringLiteral("<button>Cikis</button></form>");
    }
    page += QStringLiteral("</nav><main><h1>") + Esc(title) +
            QStringLiteral("</h1><div id=\"veri\">") + data + QStringLiteral("</div></main>");
    if (refreshing) {
        // Only the data is fetched again: a form being filled in stays as it is.
        page += QStringLiteral("<script src=\"/yenile.js\"></script>");
    }
    return page + QStringLiteral("</body></html>");
}

QString Printers(const QList<PrinterSnapshot>& printers, const QByteArray& token) {
    QString html =
        QStringLiteral("<table><tr><th>Yazici</th><th>Tur</th><th>Durum</th>"
                       "<th>Bekleyen</th><th>Son fis</th><th>Bugun bekleme p50 / p95</th>"
                       "<th></th></tr>");
    for (const PrinterSnapshot& printer : printers) {
        html += QStringLiteral("<tr>") + NameAndPath(printer.name, printer.path) +
                Cell(PrinterKind(printer.path)) + QStringLiteral("<td>") + StateText(printer) +
                QStringLiteral("</td>") + Cell(QString::number(printer.waitingTickets)) +
                Cell(Time(printer.lastTicket)) + Cell(Waits(printer)) +
                QStringLiteral("<td><form method=\"post\" action=\"/test\">") + TokenField(token) +
                QStringLiteral("<input type=\"hidden\" name=\"yazici\" value=\"") +
                Esc(printer.name) +
                QStringLiteral("\"><button>Test sayfasi</button></form></td></tr>");
    }
    return html + QStringLiteral("</table>");
}

QString Queue(const QList<QueuedJobSnapshot>& jobs, const QByteArray& token) {
    QString html = QStringLiteral("<table><tr><th>Is</th><th>Adisyon</th><th>Masa</th>"
                                  "<th>Tur</th><th>Bekliyor</th><th>Durum</th></tr>");
    for (const QueuedJobSnapshot& job : jobs) {
        QString state = QStringLiteral("Sirada");
        if (!job.setAsideReason.isEmpty()) {
            state = QStringLiteral("Atlandi: ") + job.setAsideReason +
                    (job.nextRetry.isValid()
                         ? QStringLiteral(" (yeniden deneme ") + Time(job.nextRetry) + ')'
                         : QString());
        } else if (!job.waitingForPrinter.isEmpty()) {
            state = QStringLiteral("Yaziciyi bekliyor: ") + job.waitingForPrinter;
        }
        html += QStringLiteral("<tr>") + Cell(job.jobId) + Cell(job.bill) + Cell(job.table) +
                Cell(JobTypeName(job.type)) + Cell(Age(job.ageSeconds)) + Cell(state) +
                QStringLiteral("</tr>");
    }
    html += QStringLiteral("</table>");
    if (jobs.isEmpty())
        html += QStringLiteral("<p>Kuyrukta is yok.</p>");
    if (!jobs.isEmpty()) {
        html += QStringLiteral("<form method=\"post\" action=\"/yeniden-dene\">") +
                TokenField(token) +
                QStringLiteral("<button>Bekleyen isleri yeniden dene</button></form>");
    }
    return html;
}

QString JournalSearch(const QString& search) {
    return QStringLiteral("<form method=\"get\" action=\"/gunluk\">"
                          "<input name=\"ara\" placeholder=\"Adisyon veya masa\" value=\"") +
           Esc(search) + QStringLiteral("\"> <button>Ara</button></form>");
}

QString Journal(const QList<JournalEntry>& entries) {
    QString html = QStringLiteral("<table><tr><th>Saat</th><th>Adisyon</th><th>Masa</th>"
                                  "<th>Tur</th><th>Yazici</th><th>Sonuc</th></tr>");
    for (const JournalEntry& entry : entries) {
        html += QStringLiteral("<tr><td><a href=\"/fis?id=%1\">").arg(entry.id) +
                Esc(entry.time.toString(QStringLiteral("HH:mm"))) + QStringLiteral("</a></td>") +
                Cell(entry.bill) + Cell(entry.table) + Cell(JobTypeName(entry.jobType)) +
                NameAndPath(entry.printer, entry.path) +
                (entry.printed() ? QStringLiteral("<td class=\"iyi\">Basildi</td>")
                                 : QStringLiteral("<td class=\"hata\">") + Esc(entry.error) +
                                       QStringLiteral("</td>")) +
                QStringLiteral("</tr>");
    }
    html += QStringLiteral("</table>");
    if (entries.isEmpty())
        html += QStringLiteral("<p>Bugun fis yok.</p>");
    return html;
}

QString Ticket(const JournalEntry& entry, const QList<PrinterSnapshot>& printers,
               const QByteArray& token) {
    QString html =
        QStringLiteral("<p>") + Esc(entry.time.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"))) +
        QStringLiteral(" &middot; Adisyon ") + Esc(entry.bill) + QStringLiteral(" &middot; Masa ") +
        Esc(entry.table) + QStringLiteral(" &middot; ") + Esc(entry.waiter) +
        QStringLiteral(" &middot; ") + Esc(JobTypeName(entry.jobType)) + QStringLiteral("<br>") +
        Esc(entry.printer) + QStringLiteral(" &rarr; ") + Esc(entry.path) + QStringLiteral(": ") +
        (entry.printed() ? QStringLiteral("Basildi") : Esc(entry.error)) +
        QStringLiteral("</p><form method=\"post\" action=\"/tekrar\">") + TokenField(token) +
        QStringLiteral("<input type=\"hidden\" name=\"id\" value=\"%1\">"
                       "<select name=\"yazici\">")
            .arg(entry.id);
    for (const PrinterSnapshot& printer : printers) {
        const bool own = printer.name.compare(entry.printer, Qt::CaseInsensitive) == 0;
        html += QStringLiteral("<option") + (own ? QStringLiteral(" selected") : QString()) +
                QStringLiteral(">") + Esc(printer.name) + QStringLiteral("</option>");
    }
    return html +
           QStringLiteral("</select> <button>Tekrar bas</button></form>"
                          "<p><img alt=\"Fis\" src=\"/fis.png?id=%1\"></p>")
               .arg(entry.id) +
           QStringLiteral("<pre>") + Esc(entry.lines.join(QLatin1Char('\n'))) +
           QStringLiteral("</pre>");
}

QString Login(const QString& message) {
    return (message.isEmpty()
                ? QString()
                : QStringLiteral("<p class=\"hata\">") + Esc(message) + QStringLiteral("</p>")) +
           QStringLiteral("<form method=\"post\" action=\"/giris\"><input type=\"password\" "
                          "name=\"sifre\" autofocus> <button>Giris</button></form>");
}

QString Message(const QString& text) {
    return QStringLiteral("<p>") + Esc(text) +
           QStringLiteral("</p><p><a href=\"/\">Yazicilar</a> &middot; "
                          "<a href=\"/gunluk\">Gunluk</a></p>");
}

} // namespace HtmlPages
