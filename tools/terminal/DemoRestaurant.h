#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

class DatabaseSession;

// A small Turkish restaurant: departments, waiters, products with their kitchen, grill, bar
// and dessert printers, department overrides, extra printers, account customers and the
// printer registry mapped onto virtual PDF printers under one folder.
namespace DemoRestaurant {

// Fills an empty contract database. printerFolder is where the "pdf:" printers write,
// relative to the server's directory; the kitchen's printer takes the options given
// ("boyut=2&vurgu=ters", print/PrinterOptions.h); the stations named in screens show on kitchen
// screens ("ekran:NAME") instead.
void Seed(DatabaseSession& session, const QString& printerFolder = QStringLiteral("printers"),
          const QString& kitchenOptions = QString(), const QStringList& screens = {});

// The logical printer names of the registry, in registry order.
QStringList PrinterNames();

// Queues an evening as the terminals would: production on several tables, a "ZH" table, an
// extra printer, a cancellation, bills, a split bill, an e-adisyon slip and a POS slip.
// Returns the number of jobs queued.
int QueueEvening(DatabaseSession& session);

} // namespace DemoRestaurant
