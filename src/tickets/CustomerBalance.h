#pragma once

#include <QString>

class Query;

// The customer's name and balance by code, the code as an SQL string literal.
QString CustomerBalanceStatement(const QString& code);

// Looks a customer up by code: the name is always set (empty when not found); the balance,
// in ten-thousandths, only when the customer is found. X is left open on the result.
void GetCustomerBalance(Query& X, const QString& code, QString& name, qint64& balance);
