#pragma once

#include <QString>
#include <QStringList>

class Query;

// The server's rows in the shared settings table AYAR (module "POS"). Both operations use
// the auxiliary query X and leave it closed; database errors go to the caller.
class SettingsStore {
public:
    explicit SettingsStore(Query& auxiliaryQuery);

    // Every statement the store sends, as it goes to SQL Server.
    static QStringList Statements();

    // The value of the row, or the default after inserting a row that holds it.
    QString ReadSetting(const QString& section, const QString& key, const QString& defaultValue);
    // Updates the row's value, or inserts the row when there is none.
    void WriteSetting(const QString& section, const QString& key, const QString& value);

private:
    Query& X;
};

// The one switch rule of the configuration: on only when the value is exactly "1".
inline bool IsSwitchOn(const QString& value) {
    return value == QLatin1String("1");
}
