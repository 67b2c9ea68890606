#pragma once

#include <QString>

class SettingsStore;

// The AYAR settings of bills and slips; a missing row is written with its default.

// "Firma Adi": the company name at the head of a ticket.
QString ReadCompanyName(SettingsStore& settings);
// "Bitis yazisi": the closing text of the bill and the split bill.
QString ReadClosingText(SettingsStore& settings);
// The department's bill printer, "Adisyon" unless configured.
QString ReadBillPrinterName(SettingsStore& settings, const QString& department);
