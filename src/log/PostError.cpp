#include "log/PostError.h"

#include "core/Error.h"
#include "core/UserMessages.h"
#include "db/Query.h"
#include "log/DiagnosticLog.h"

namespace {

QString parameterText(const QVariant& value) {
    if (value.isNull())
        return QString();
    if (value.metaType().id() == QMetaType::Bool)
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    return value.toString();
}

} // namespace

QString PostErrorMessage(const QString& queryName, const QString& errorClassName,
                         const QString& statement, const SqlParameters& parameters) {
    const QLatin1String crlf("\r\n");
    QString message =
        QStringLiteral("Hata: ") + queryName + QLatin1Char('-') + errorClassName + crlf;
    for (const QString& line : statement.split(QLatin1Char('\n')))
        message += QString(line).remove(QLatin1Char('\r')) + crlf;
    message += crlf;
    for (const auto& [name, value] : parameters)
        message += name + QLatin1Char('=') + parameterText(value) + crlf;
    return message;
}

void APostError(const Query& query, const Error& error, UserMessages& messages,
                DiagnosticLog& log) {
    const QString message =
        PostErrorMessage(query.name(), error.className(), query.sql(), query.params());
    messages.ShowMessage(message);
    log.LogLine(message, false);
}
