#pragma once

#include <QStringList>

// A ticket: ordered text lines whose first two characters may be a markup prefix
// ("#-" heading, "=-" rule, ">-" right part, "@B" barcode), with "#TARIH#" and "#SAAT#".
using Ticket = QStringList;
