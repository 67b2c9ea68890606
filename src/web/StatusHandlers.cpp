#include "web/StatusHandlers.h"

#include "core/Error.h"
#include "http/WebSessions.h"
#include "journal/ReprintTicket.h"
#include "metrics/PrometheusText.h"
#include "print/PrinterNames.h"
#include "web/HtmlPages.h"
#include "web/ScreenHandlers.h"
#include "web/StatusBackend.h"
#include "web/TestPageTicket.h"
#include "web/TicketPicture.h"

#include <QDate>
#include <optional>

namespace {

const QByteArray kRefreshScript =
    "setInterval(function(){fetch(location.href,{headers:{'X-Veri':'1'}})"
    ".then(function(r){return r.ok?r.text():null}).then(function(t){"
    "if(t!==null)document.getElementById('veri').innerHTML=t})},5000);";

// The registry's printer of that name, under the printer-name rule.
std::optional<PrinterSnapshot> Find(const QList<PrinterSnapshot>& printers, const QString& name) {
    for (const PrinterSnapshot& printer : printers) {
        if (SamePrinterName(printer.name, name))
            return printer;
    }
    return std::nullopt;
}

} // namespace

StatusHandlers::StatusHandlers(const PrintSettings& printSettings, StatusBackend& backend,
                               WebSessions& sessions)
    : m_printSettings(printSettings)
    , m_backend(backend)
    , m_sessions(sessions) {}

WebReply StatusHandlers::Script(WebExchange&) {
    return {200, "text/javascript", kRefreshScript, {}, {}};
}

WebReply StatusHandlers::ScreenScript(WebExchange&) {
    return ScreenHandlers::Script();
}

WebReply StatusHandlers::LoginForm(WebExchange& exchange) {
    if (!m_sessions.passwordRequired())
        return WebReply::Redirect("/");
    return Html(exchange, QStringLiteral("Giriş"), HtmlPages::Login(QString()), false);
}

WebReply StatusHandlers::Login(WebExchange& exchange) {
    const QString title = QStringLiteral("Giriş");
    if (!m_sessions.passwordRequired())
        return WebReply::Redirect("/");
    const QHostAddress& from = exchange.remoteAddress;
    QString refusal;
    qint64 wait = m_sessions.LoginWait(from);
    if (wait == 0) {
        if (m_sessions.TryPassword(from, exchange.field(QStringLiteral("sifre")))) {
            exchange.newCookie = m_sessions.Open().id;
            return WebReply::Redirect("/");
        }
        refusal = QStringLiteral("Şifre yanlış");
        wait = m_sessions.LoginWait(from);
        if (wait == 0)
            return Html(exchange, title, HtmlPages::Login(refusal), false, 403);
        refusal += QStringLiteral(". ");
    }
    return Html(
        exchange, title,
        HtmlPages::Login(
            refusal +
            QStringLiteral("Çok fazla hatalı deneme, %1 sn sonra yeniden deneyin").arg(wait)),
        false, 429);
}

WebReply StatusHandlers::Logout(WebExchange& exchange) {
    m_sessions.Close(exchange.sessionId);
    exchange.token.clear();
    return WebReply::Redirect("/giris");
}

WebReply StatusHandlers::Printers(WebExchange& exchange) {
    QList<ScreenSnapshot> screens = m_backend.Screens();
    // Without a password the page is this machine's alone, and so are the screens' links.
    const bool networkLinks = m_sessions.passwordRequired();
    for (ScreenSnapshot& screen : screens)
        screen.link =
            ScreenHandlers::Link(exchange, screen.name, networkLinks ? screen.key : QByteArray());
    return Html(exchange, QStringLiteral("Yazıcılar"),
                HtmlPages::RoleLine(m_backend.RoleText()) +
                    HtmlPages::Printers(m_backend.Printers(), exchange.token) +
                    HtmlPages::Notifications(m_backend.Notifications(), exchange.token) +
                    HtmlPages::Screens(screens, networkLinks),
                true);
}

WebReply StatusHandlers::Queue(WebExchange& exchange) {
    return Html(exchange, QStringLiteral("Kuyruk"),
                HtmlPages::Queue(m_backend.Queue(), exchange.token), true);
}

WebReply StatusHandlers::Journal(WebExchange& exchange) {
    const QString title = QStringLiteral("Günlük");
    const QString search = exchange.parameter(QStringLiteral("ara")).trimmed();
    if (search.size() > kMaxSearchLength)
        return Message(exchange, title, QStringLiteral("Arama metni çok uzun"), 400);
    // One more than shown tells whether the day holds more.
    QList<JournalEntry> entries =
        m_backend.JournalEntries(QDate::currentDate(), search, kMaxJournalRows + 1);
    const bool partial = entries.size() > kMaxJournalRows;
    entries = entries.mid(0, kMaxJournalRows);
    const QString rows = HtmlPages::Journal(entries, partial, m_backend.JournalUnreadable());
    if (exchange.dataOnly)
        return Html(exchange, QString(), rows, true);
    return Html(exchange, title, HtmlPages::JournalSearch(search) + rows, true);
}

WebReply StatusHandlers::TicketPage(WebExchange& exchange) {
    const QString title = QStringLiteral("Fiş");
    const qint64 id = WebExchange::Id(exchange.parameter(QStringLiteral("id")));
    if (id == 0)
        return Message(exchange, title, QStringLiteral("Geçersiz fiş numarası"), 400);
    if (m_backend.JournalTicketSize(id) > kMaxTicketCharacters)
        return Message(exchange, title, QStringLiteral("Fiş gösterilemeyecek kadar uzun"), 413);
    const std::optional<JournalEntry> entry = m_backend.JournalTicket(id);
    if (!entry)
        return Missing(exchange, title);
    return Html(exchange, QStringLiteral("Fiş %1").arg(id),
                HtmlPages::Ticket(*entry, m_backend.Printers(), exchange.token), false);
}

WebReply StatusHandlers::TicketPicture(WebExchange& exchange) {
    const qint64 id = WebExchange::Id(exchange.parameter(QStringLiteral("id")));
    if (m_backend.JournalTicketSize(id) > kMaxTicketCharacters)
        return WebReply::Text(413, QStringLiteral("Fiş resim için çok uzun").toUtf8());
    const std::optional<JournalEntry> entry = m_backend.JournalTicket(id);
    if (!entry)
        return WebReply::Text(404, "Not Found");
    WebReply reply;
    reply.later = [lines = entry->lines, settings = m_printSettings, time = entry->time,
                   options = m_backend.TicketOptionsOf(entry->path)] {
        try {
            return WebReply{200, "image/png", TicketPng(lines, settings, time, options), {}, {}};
        } catch (const PrinterError& error) {
            return WebReply::Text(500, error.message().toUtf8());
        }
    };
    return reply;
}

WebReply StatusHandlers::Reprint(WebExchange& exchange) {
    const std::optional<JournalEntry> entry =
        m_backend.JournalTicket(WebExchange::Id(exchange.field(QStringLiteral("id"))));
    if (!entry)
        return Missing(exchange, QStringLiteral("Tekrar basım"));
    JournalEntry about = *entry;
    about.jobId.clear();
    about.jobType = QStringLiteral("TEKRAR");
    return Send(exchange, exchange.field(QStringLiteral("yazici")), ReprintTicket(*entry), about,
                QStringLiteral("Tekrar basım gönderildi: "));
}

WebReply StatusHandlers::TestPage(WebExchange& exchange) {
    const std::optional<PrinterSnapshot> printer =
        Find(m_backend.Printers(), exchange.field(QStringLiteral("yazici")));
    if (!printer)
        return Message(exchange, QStringLiteral("Test sayfası"),
                       QStringLiteral("Yazıcı bulunamadı"), 400);
    JournalEntry about;
    about.jobType = QStringLiteral("TEST");
    return Send(exchange, printer->name,
                TestPageTicket(*printer, m_backend.TicketOptionsOf(printer->path)), about,
                QStringLiteral("Test sayfası gönderildi: "));
}

WebReply StatusHandlers::Retry(WebExchange& exchange) {
    if (const qint64 wait = m_sessions.TakeAction(exchange.sessionId); wait > 0)
        return TooMany(exchange, QStringLiteral("Kuyruk"), QStringLiteral("yeniden deneme"), wait);
    m_backend.RetrySetAsideJobs();
    return Message(exchange, QStringLiteral("Kuyruk"),
                   QStringLiteral("Bekleyen işler yeniden deneniyor"), 200);
}

WebReply StatusHandlers::TestNotification(WebExchange& exchange) {
    const QString title = QStringLiteral("Bildirim");
    const QString destination = m_backend.Notifications().destination;
    if (destination.isEmpty()) {
        return Message(
            exchange, title,
            QStringLiteral("Bildirim adresi tanımlı değil: Velmora.ini [Bildirim] Adres"), 400);
    }
    if (const qint64 wait = m_sessions.TakeAction(exchange.sessionId); wait > 0)
        return TooMany(exchange, title, QStringLiteral("deneme bildirimi"), wait);
    m_backend.SendTestNotification();
    return Message(exchange, title,
                   QStringLiteral("Deneme bildirimi gönderildi: ") + destination +
                       QStringLiteral(". Ulaşıp ulaşmadığı birkaç saniye içinde Yazıcılar "
                                      "sayfasında görünür."),
                   200);
}

WebReply StatusHandlers::Metrics(WebExchange&) {
    return {200, PrometheusText::kContentType, m_backend.Metrics(), {}, {}};
}

WebReply StatusHandlers::Html(const WebExchange& exchange, const QString& title,
                              const QString& data, bool refreshing, int status) const {
    const QString page = exchange.dataOnly ? data
                                           : HtmlPages::Layout(title, data,
                                                               m_sessions.passwordRequired() &&
                                                                   !exchange.token.isEmpty(),
                                                               exchange.token, refreshing);
    return {status, "text/html; charset=utf-8", page.toUtf8(), {}, {}};
}

WebReply StatusHandlers::Message(const WebExchange& exchange, const QString& title,
                                 const QString& text, int status) const {
    return Html(exchange, title, HtmlPages::Message(text), false, status);
}

WebReply StatusHandlers::Send(WebExchange& exchange, const QString& printer, const Ticket& ticket,
                              const JournalEntry& about, const QString& done) {
    const QString title = QStringLiteral("Yazdırma");
    if (!Find(m_backend.Printers(), printer))
        return Message(exchange, title, QStringLiteral("Yazıcı bulunamadı"), 400);
    if (const qint64 wait = m_sessions.TakeAction(exchange.sessionId); wait > 0)
        return TooMany(exchange, title, QStringLiteral("baskı"), wait);
    const QString error = m_backend.Print(printer, ticket, about);
    if (!error.isEmpty())
        return Message(exchange, title, QStringLiteral("Yazdırılamadı: ") + error, 502);
    return Message(exchange, title, done + printer, 200);
}

WebReply StatusHandlers::TooMany(const WebExchange& exchange, const QString& title,
                                 const QString& what, qint64 wait) const {
    return Message(
        exchange, title,
        QStringLiteral("Çok fazla %1 istendi; %2 sn sonra yeniden deneyin").arg(what).arg(wait),
        429);
}

WebReply StatusHandlers::Missing(const WebExchange& exchange, const QString& title) const {
    if (m_backend.JournalUnreadable())
        return Message(exchange, title,
                       QStringLiteral("Fiş günlüğü okunamadı; ayrıntı günlük dosyasında."), 503);
    return Message(exchange, title, QStringLiteral("Fiş bulunamadı"), 404);
}
