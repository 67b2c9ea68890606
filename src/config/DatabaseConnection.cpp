#include "config/DatabaseConnection.h"

#include "config/IniFile.h"
#include "core/Error.h"
#include "core/UserMessages.h"
#include "db/ConnectionString.h"
#include "db/DatabaseSession.h"

namespace {

const QString Base = QStringLiteral("Database");
const QString Section = QStringLiteral("Database");
const QString DefaultMarker = QStringLiteral("#DEFAULT#");
const QString NullMarker = QStringLiteral("#NULL#");
const QString BuiltInPassword = QStringLiteral("pelinkar");

} // namespace

DatabaseConnection::DatabaseConnection(IniFiles& iniFiles, UserMessages& messages,
                                       ComputerNameSource computerName,
                                       OdbcDriverSource installedOdbcDrivers)
    : m_iniFiles(iniFiles)
    , m_messages(messages)
    , m_computerName(std::move(computerName))
    , m_installedOdbcDrivers(std::move(installedOdbcDrivers)) {}

// Start-up steps 1 and 2.
void DatabaseConnection::ReadDatabaseIni() {
    if (!m_iniFiles.exists(Base))
        m_messages.ShowMessage(
            QStringLiteral("Databsae.ini dosyasi bulunamadi. Yeniden olusturuluyor..."));
    m_server = m_iniFiles.IniReadString(Base, Section, QStringLiteral("Server"), DefaultMarker);
    m_database = m_iniFiles.IniReadString(Base, Section, QStringLiteral("Database"),
                                          QStringLiteral("KESTROVA_2025"));
    m_user = m_iniFiles.IniReadString(Base, Section, QStringLiteral("User"), QStringLiteral("sa"));
    m_password = m_iniFiles.IniReadString(Base, Section, QStringLiteral("Pass"), DefaultMarker);
}

// Start-up step 6.
bool DatabaseConnection::Connect(DatabaseSession& session) {
    if (m_server == DefaultMarker) {
        m_server = m_computerName() + QStringLiteral("\\SQLExpress");
        m_iniFiles.IniWriteString(Base, Section, QStringLiteral("Server"), m_server);
    }
    if (m_password == DefaultMarker)
        m_password = BuiltInPassword;
    const QString custom =
        m_iniFiles.IniReadString(Base, Section, QStringLiteral("CustomConnStr"), NullMarker);
    const bool useCustom = custom != NullMarker;

    try {
        // The four values go to ODBC one by one rather than through the template text, where
        // a ";" in the password would split the string.
        const ConnectionTarget target =
            useCustom ? TranslateConnectionString(custom, m_iniFiles.directory(),
                                                  m_installedOdbcDrivers())
                      : SqlServerTarget(m_server, m_database, m_user, m_password,
                                        m_installedOdbcDrivers());
        session.Open(target);
        return true;
    } catch (const DatabaseError& error) {
        m_messages.ShowMessage(QStringLiteral("Hata, Veritabanina baglanilamadi.\r\n") +
                               error.message());
        m_messages.ShowMessage(
            QStringLiteral("Database.Ini dosyasini kontrol edin. Uygulama kapanacaktir."));
        return false;
    }
}
