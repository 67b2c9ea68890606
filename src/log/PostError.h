#pragma once

#include "db/DatabaseSession.h"

#include <QString>

class DiagnosticLog;
class Error;
class Query;
class UserMessages;

// The report of a row that could not be posted through a query: the component's name, the
// error's class, the statement and every parameter. The error's own text is not part of it.
QString PostErrorMessage(const QString& queryName, const QString& errorClassName,
                         const QString& statement, const SqlParameters& parameters);

// Shows the report and writes it to the log (unforced); the error then goes on to the code
// that posted.
void APostError(const Query& query, const Error& error, UserMessages& messages, DiagnosticLog& log);
