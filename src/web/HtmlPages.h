#pragma once

#include "journal/JournalEntry.h"
#include "web/StatusBackend.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The status page's HTML, in Turkish, plain and readable on a phone. Every text that comes
// from the database or the printers is escaped. The forms of actions carry the session's token.
namespace HtmlPages {

// The whole page around its data; a refreshing page fetches its data again every few seconds.
QString Layout(const QString& title, const QString& data, bool withLogout, const QByteArray& token,
               bool refreshing);

// The server's role above its printers, when it has one.
QString RoleLine(const QString& text);
QString Printers(const QList<PrinterSnapshot>& printers, const QByteArray& token);
// Where the notifications go and how the last one fared, with the button that sends a test.
QString Notifications(const NotificationSnapshot& notifications, const QByteArray& token);
// The kitchen screens: pages open, last seen, open cards, today's preparation times and the
// link, with a QR code when it is one for the restaurant's network.
QString Screens(const QList<ScreenSnapshot>& screens, bool networkLinks);
QString Queue(const QList<QueuedJobSnapshot>& jobs, const QByteArray& token);
QString JournalSearch(const QString& search);
// The day's entries that matched. Partial when more matched than are shown; unreadable when
// the journal could not be read at all.
QString Journal(const QList<JournalEntry>& entries, bool partial, bool unreadable);
// One journal ticket: its fields, its picture and the reprint form.
QString Ticket(const JournalEntry& entry, const QList<PrinterSnapshot>& printers,
               const QByteArray& token);
QString Login(const QString& message);
QString Message(const QString& text);

QString JobTypeName(const QString& type);

} // namespace HtmlPages
