#pragma once

#include <QStringList>

// A ticket: ordered text lines whose first two characters may be a markup prefix
// (print/TicketMarkup.h), with the placeholders "#TARIH#" and "#SAAT#".
using Ticket = QStringList;
