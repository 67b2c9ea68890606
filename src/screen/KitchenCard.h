#pragma once

#include "print/Ticket.h"

#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

// One ordered item of a card, as the cooks mark it.
struct CardItem {
    QString quantity;
    QString name;
    QString note;
    bool crossedOff = false; // tapped on a screen: done
    bool cancelled = false;  // a cancellation of the bill took it back
};

// A ticket as a kitchen screen shows it, read from the ticket's own lines so that every ticket
// a printer takes, a reprint or a backup's too, can go to a screen. The first heading is the
// title; the other lines before the first rule are the header (bill number, time, table,
// waiter, note), with the date placeholders filled in; the lines after the last rule are the
// items (kitchen/ItemLine.h, marked as items in print/TicketMarkup.h), each with the lines
// under it that are no item as its note.
// Lines between the rules are column headings and are left out. A heading "IPTAL" makes the
// card a cancellation.
struct KitchenCard {
    qint64 id = 0; // given by the store
    QString title;
    bool cancellation = false;
    QString bill; // the number after "No:" in the header, when there is one
    QStringList header;
    QList<CardItem> items;
    QStringList lines; // lines after the last rule that are no item and follow none
    QDateTime created;
    QDateTime shown; // when a screen first drew it
    QDateTime bumped;

    static KitchenCard FromTicket(const Ticket& ticket, const QDateTime& now);
    // What the store keeps and the screen page reads; the times are milliseconds since the epoch.
    QJsonObject ToJson() const;
    // The fields ToJson wrote, but the id and the times, which the store keeps in columns.
    static KitchenCard FromJson(const QJsonObject& json);
    // Takes back the first item of that name not yet taken back; false when there is none.
    bool Cancel(const QString& name);
};
