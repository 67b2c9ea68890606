#pragma once

#include <QString>

class Query;

// Looks a customer up by code: the name is always set (empty when not found); the balance,
// in ten-thousandths, only when the customer is found. X is left open on the result.
void GetCustomerBalance(Query& X, const QString& code, QString& name, qint64& balance);
