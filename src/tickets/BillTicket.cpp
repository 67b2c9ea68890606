#include "core/NumberForms.h"
#include "db/Query.h"
#include "job/JobContext.h"
#include "print/TicketMarkup.h"
#include "tickets/BillBody.h"
#include "tickets/BillOptions.h"
#include "tickets/BillPrinter.h"
#include "tickets/BillSettings.h"
#include "tickets/BillText.h"
#include "tickets/CustomerBalance.h"
#include "tickets/Ean13.h"
#include "tickets/RunningTotal.h"
#include "tickets/TicketBuilders.h"

namespace {

struct Customer {
    QString name;
    qint64 balance = 0; // ten-thousandths
};

// The customer code is a bill column, so any row gives it; it is read before the lines are
// walked. A bill without rows has no code.
Customer LookUpCustomer(JobContext& context) {
    Customer customer;
    const QString code =
        context.A.Eof() ? QString() : context.A.text(QStringLiteral("MUSTERIKODU"));
    GetCustomerBalance(context.X, code, customer.name, customer.balance);
    return customer;
}

// The balance before the bill in amount text (two decimals at most), and the balance itself in
// its four-decimal form.
void AppendBalances(Ticket& ticket, qint64 runningTotal, qint64 balance) {
    ticket << QStringLiteral("İlk Bakiye:")
           << AmountLine(CurrencyAmountText(AddToRunningTotal(runningTotal, balance)))
           << QStringLiteral("Kalan Bakiye: ") << AmountLine(BalanceText(balance));
}

void AppendBarcode(Ticket& ticket, const QString& barcode) {
    if (TrimBlanksAndControls(barcode).isEmpty())
        return;
    ticket << kSeparator << kBarcode + barcode
           << kHeading + QStringLiteral("Belge No: ") + QString(barcode).remove(QLatin1Char('*'))
           << kSeparator;
}

} // namespace

void BuildBillTicket(JobContext& context) {
    const TYazimIsi& job = context.job;
    const BillOptions& options = context.options;
    Ticket ticket;

    Customer customer;
    if (options.customerFlag) {
        customer = LookUpCustomer(context);
        ticket << kHeading + customer.name;
    } else {
        ticket << kHeading + ReadCompanyName(context.settings);
    }
    ticket << kHeading + QStringLiteral("No:") + job.AdisyonID << QString()
           << kRightPart + QStringLiteral("#TARIH# #SAAT#");
    if (options.tableInfoFlag)
        ticket << kHeading + TableInformationText(job) << WaiterCopyLine(job);

    const qint64 runningTotal = AppendBillBody(ticket, context.A, job, DiscountLayout::Headings);

    if (options.customerFlag)
        AppendBalances(ticket, runningTotal, customer.balance);
    ticket << kSeparator;
    if (options.printRatesFlag)
        ticket << options.exchangeRateLine;
    ticket << ReadClosingText(context.settings) << kHeading + QStringLiteral("MALİ DEĞERİ YOKTUR");
    AppendBarcode(ticket, Ean13Text(job.AdisyonID));
    ticket << QStringLiteral("Teşekkür Ederiz") << QString();

    PrintOnBillPrinter(context, ticket, JobPrinterName::Honoured);
}
