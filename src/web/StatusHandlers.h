#pragma once

#include "http/WebExchange.h"
#include "journal/JournalEntry.h"
#include "print/PrintSettings.h"

class StatusBackend;
class WebSessions;
// What each page and action of the status page does, once the request has passed the checks
// of its route; the transport is StatusWebServer's.
class StatusHandlers {
public:
    static constexpr int kMaxJournalRows = 300;
    static constexpr int kMaxSearchLength = 40;
    // A ticket whose stored lines are longer gets no page and no picture: it is refused before
    // its lines are read.
    static constexpr qint64 kMaxTicketCharacters = 64 * 1024;

    StatusHandlers(const PrintSettings& printSettings, StatusBackend& backend,
                   WebSessions& sessions);

    WebReply Script(WebExchange& exchange);
    WebReply ScreenScript(WebExchange& exchange);
    WebReply LoginForm(WebExchange& exchange);
    WebReply Login(WebExchange& exchange);
    WebReply Logout(WebExchange& exchange);
    WebReply Printers(WebExchange& exchange);
    WebReply Queue(WebExchange& exchange);
    WebReply Journal(WebExchange& exchange);
    WebReply TicketPage(WebExchange& exchange);
    WebReply TicketPicture(WebExchange& exchange);
    WebReply Reprint(WebExchange& exchange);
    WebReply TestPage(WebExchange& exchange);
    WebReply Retry(WebExchange& exchange);
    WebReply TestNotification(WebExchange& exchange);
    WebReply Metrics(WebExchange& exchange);

    // A page with its title around the data, or the data alone for the page's refresh.
    WebReply Html(const WebExchange& exchange, const QString& title, const QString& data,
                  bool refreshing, int status = 200) const;
    WebReply Message(const WebExchange& exchange, const QString& title, const QString& text,
                     int status) const;

private:
    WebReply Send(WebExchange& exchange, const QString& printer, const Ticket& ticket,
                  const JournalEntry& about, const QString& done);
    // The session or the server asked for what too often; it may again in wait seconds.
    WebReply TooMany(const WebExchange& exchange, const QString& title, const QString& what,
                     qint64 wait) const;
    // The day's journal could not be read, or the ticket is not in it.
    WebReply Missing(const WebExchange& exchange, const QString& title) const;

    PrintSettings m_printSettings;
    StatusBackend& m_backend;
    WebSessions& m_sessions;
};
