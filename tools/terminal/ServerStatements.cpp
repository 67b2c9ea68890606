#include "terminal/ServerStatements.h"

#include "config/SettingsStore.h"
#include "kitchen/KitchenStatements.h"
#include "print/PrinterRegistry.h"
#include "queue/QueueStatements.h"
#include "standby/LeaseStatements.h"
#include "tickets/CustomerBalance.h"

#include <QRegularExpression>

namespace {

QString WithTsqlParameters(QString text) {
    static const QRegularExpression parameter(QStringLiteral(R"((?<![\w:]):([A-Za-z]\w*))"));
    return text.replace(parameter, QStringLiteral("@\\1"));
}

} // namespace

QList<ServerStatement> ServerStatements() {
    QList<ServerStatement> statements{
        {QStringLiteral("queue"), QueueStatement()},
        {QStringLiteral("queue-one-job"), OneJobQueueStatement(7)},
        {QStringLiteral("queue-check"), QueueChangeStatement(DatabaseProduct::SqlServer)},
        {QStringLiteral("lines"), LineStatement()},
        {QStringLiteral("extra-lines"), ExtraLineStatement()},
        {QStringLiteral("auxiliary"), AuxiliaryStatement()},
        {QStringLiteral("production-printers"),
         ProductionPrinterStatement(QStringLiteral("O'1"), QStringLiteral("0"), 302)},
        {QStringLiteral("cancelled-printers"),
         ProductionPrinterStatement(QStringLiteral("1"), QStringLiteral("2"), 302)},
        {QStringLiteral("mark-sale-lines"),
         MarkLinesStatement(QStringLiteral("EKYAZ"), QStringLiteral("0"), QStringLiteral("ZH"),
                            {11, 12})},
        {QStringLiteral("mark-returned-lines"),
         MarkLinesStatement(QStringLiteral("YAZ"), QStringLiteral("2"), QStringLiteral("5"), {13})},
        {QStringLiteral("delete-job"), DeleteJobStatement(7)},
        {QStringLiteral("delete-orphan-jobs"), DeleteOrphanJobsStatement()},
        {QStringLiteral("printers"), PrinterRegistry::Statement()},
        {QStringLiteral("customer-balance"), CustomerBalanceStatement(QStringLiteral("A'1"))},
        {QStringLiteral("lease-create"), CreateLeaseTableStatement()},
        {QStringLiteral("lease-columns"), LeaseColumnsStatement()},
        {QStringLiteral("lease-add-renewal-count"), AddRenewalCountStatement()},
        {QStringLiteral("lease-insert-row"), InsertLeaseRowStatement()},
        {QStringLiteral("lease-row"), LeaseRowStatement()},
        {QStringLiteral("lease-take"), TakeLeaseStatement()},
        {QStringLiteral("lease-renew"), RenewLeaseStatement()},
        {QStringLiteral("lease-release"), ReleaseLeaseStatement()},
        {QStringLiteral("lease-fence"), FenceStatement()},
        {QStringLiteral("lease-held"), LeaseHeldStatement()},
    };
    const QStringList settings = SettingsStore::Statements();
    for (qsizetype i = 0; i < settings.size(); ++i)
        statements.append({QStringLiteral("settings-%1").arg(i + 1), settings.at(i)});
    for (ServerStatement& statement : statements)
        statement.text = WithTsqlParameters(statement.text);
    return statements;
}
