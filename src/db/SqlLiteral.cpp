#include "db/SqlLiteral.h"

QString SqlStringLiteral(const QString& value) {
    QString escaped = value;
    escaped.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + escaped + QLatin1Char('\'');
}
