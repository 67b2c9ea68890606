#pragma once

#include "job/JobRecord.h"
#include "tickets/TextTrim.h"

#include <QString>
#include <QVariant>

// Text forms shared by the bill, the split bill and the two slips.

// An amount text of the job that stands for no amount: empty, or "0" once trimmed.
bool IsNoAmount(const QString& amountText);

// ">-" + amount + " TL": the amount at the right end of the row of the line before.
QString AmountLine(const QString& amountText);

// The quantity text of a line's ADET, padded to the three characters of the item column.
QString QuantityField(const QVariant& quantity);

// Department, table and waiter: "Salon - 5 - Ayşe".
QString TableInformationText(const TYazimIsi& job);

// The line under the table information: the waiter-copy mark for a job printed as "G".
QString WaiterCopyLine(const TYazimIsi& job);
