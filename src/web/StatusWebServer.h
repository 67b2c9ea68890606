#pragma once

#include "config/LocalSettings.h"
#include "journal/TicketJournal.h"
#include "print/PrintSettings.h"
#include "web/WebSessions.h"

#include <QAbstractHttpServer>
#include <QByteArray>
#include <QList>
#include <QString>
#include <utility>

class DiagnosticLog;
class StatusBackend;

// The status page, served by the server itself on its own event loop: the printers, the queue
// and the day's journal, and the actions reprint, test page and retry. It listens on
// 127.0.0.1 alone until a password is set; then on every address, and every page needs a login.
// Each action is a POST that carries its session's token. A request larger than
// kMaxRequestBytes closes its connection; connections beyond kMaxConnections are refused, and
// one silent for kIdleMilliseconds is closed.
class StatusWebServer : public QAbstractHttpServer {
public:
    static constexpr qint64 kMaxRequestBytes = 64 * 1024;
    static constexpr int kMaxConnections = 32;
    static constexpr int kIdleMilliseconds = 30000;
    static constexpr int kMaxUrlLength = 2048;
    static constexpr int kMaxJournalRows = 300;
    static const QByteArray kSessionCookie;

    StatusWebServer(const StatusPageSettings& settings, const PrintSettings& printSettings,
                    TicketJournal& journal, StatusBackend& backend, DiagnosticLog& log);

    // Returns the empty text, or why the port could not be opened.
    QString Listen();
    QString url() const;

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

private:
    struct Reply {
        int status = 200;
        QByteArray type = "text/html; charset=utf-8";
        QByteArray body;
        QList<std::pair<QByteArray, QByteArray>> headers;
    };
    class Exchange;

    Reply Dispatch(Exchange& exchange);
    Reply Page(Exchange& exchange);
    Reply Action(Exchange& exchange);
    Reply Login(Exchange& exchange);
    Reply PrintersPage(Exchange& exchange);
    Reply QueuePage(Exchange& exchange);
    Reply JournalPage(Exchange& exchange);
    Reply TicketPage(Exchange& exchange);
    Reply TicketPicture(Exchange& exchange);
    Reply Reprint(Exchange& exchange);
    Reply TestPage(Exchange& exchange);
    Reply Html(Exchange& exchange, const QString& title, const QString& data, bool refreshing,
               int status = 200);
    Reply Send(Exchange& exchange, const QString& printer, const Ticket& ticket, JournalEntry about,
               const QString& done);
    bool HostAllowed(const Exchange& exchange) const;

    StatusPageSettings m_settings;
    PrintSettings m_printSettings;
    TicketJournal& m_journal;
    StatusBackend& m_backend;
    DiagnosticLog& m_log;
    WebSessions m_sessions;
};
