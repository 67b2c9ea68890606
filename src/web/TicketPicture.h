#pragma once

#include "print/PrintSettings.h"
#include "print/Ticket.h"
#include "print/TicketOptions.h"

#include <QByteArray>
#include <QDateTime>

// A ticket as the receipt printer would print it, drawn by the ticket renderer at 203 dpi on
// 80 mm paper with the printer's options, as a PNG file; its placeholders show the given time.
// Throws PrinterError for a ticket too long to draw.
QByteArray TicketPng(const Ticket& ticket, const PrintSettings& settings, const QDateTime& time,
                     const TicketOptions& options);
