#include "core/Error.h"
#include "db/ContractSchema.h"
#include "db/DatabaseSession.h"
#include "terminal/DemoRestaurant.h"
#include "terminal/Terminal.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

namespace {

const char* const usage = R"(Writes orders and print jobs into a SQLite database as the order-taking
terminals do, so the running server can be tried by hand.

Commands:
  init DB                          create an empty database with the contract tables
  seed DB [--printers DIR]         add the demo restaurant (products, printers, customers);
                                   the "pdf:" printers write under DIR (default printers),
                                   the kitchen's with --kitchen-options (boyut=2&vurgu=ters);
                                   --screen NAME shows that station on a kitchen screen
  evening DB                       queue a whole evening of orders, bills and slips
  open-bill DB BILL DEPT TABLE     open a bill (--customer CODE, --note TEXT)
  order DB BILL PRODUCT QTY AMOUNT add a sale line, not yet sent (--note TEXT, --sub N)
  return DB BILL PRODUCT QTY AMOUNT
                                   add a returned line (already sent to the kitchen)
  totals DB BILL                   set the bill's figures (--discount-rate, --discount,
                                   --service-rate, --cash, --card, --account, --ticket)
  queue DB BILL TYPE               queue a job: 0 production, 2 cancellation, 1 bill,
                                   3 split bill, 4 e-adisyon slip, 5 POS slip
                                   (--waiter CODE, --printer NAME ("G": waiter's copy),
                                   --sub N and --split-kind TEXT for a split bill)
  status DB                        show the jobs waiting in the queue
)";

QTextStream& out() {
    static QTextStream stream(stdout);
    return stream;
}

double numberOption(const QCommandLineParser& parser, const QString& name) {
    bool ok = false;
    const double value = parser.value(name).toDouble(&ok);
    if (!ok && parser.isSet(name))
        throw Error(QStringLiteral("--%1 bir sayi olmali").arg(name));
    return ok ? value : 0;
}

double numberArgument(const QString& text, const char* what) {
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok)
        throw Error(QStringLiteral("%1 bir sayi olmali: %2").arg(QLatin1String(what), text));
    return value;
}

void openSession(DatabaseSession& session, const QString& path) {
    session.Open({QStringLiteral("QSQLITE"), path});
}

int run(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromUtf8(usage));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("what to do"));
    parser.addPositionalArgument(QStringLiteral("database"), QStringLiteral("the SQLite file"));
    for (const char* option : {"printers", "kitchen-options", "screen", "customer", "note", "sub",
                               "discount-rate", "discount", "service-rate", "cash", "card",
                               "account", "ticket", "waiter", "printer", "split-kind"})
        parser.addOption({QString::fromLatin1(option), QString(), QStringLiteral("value")});
    parser.process(arguments);

    const QStringList args = parser.positionalArguments();
    if (args.size() < 2)
        parser.showHelp(2);
    const QString command = args.at(0);
    const QString path = args.at(1);
    auto need = [&](int count) {
        if (args.size() != count + 2)
            throw Error(QStringLiteral("'%1' %2 arguman bekler").arg(command).arg(count));
    };

    DatabaseSession session(QStringLiteral("terminal"));
    if (command == QLatin1String("init")) {
        need(0);
        QFile file(path);
        if (file.exists())
            throw Error(QStringLiteral("Dosya zaten var: ") + path);
        if (!file.open(QIODevice::WriteOnly))
            throw Error(QStringLiteral("Dosya olusturulamadi: ") + path);
        file.close();
        openSession(session, path);
        CreateContractSchema(session);
        return 0;
    }

    openSession(session, path);
    Terminal terminal(session);
    if (command == QLatin1String("seed")) {
        need(0);
        DemoRestaurant::Seed(session,
                             parser.isSet("printers") ? parser.value("printers")
                                                      : QStringLiteral("printers"),
                             parser.value("kitchen-options"), parser.values("screen"));
    } else if (command == QLatin1String("evening")) {
        need(0);
        out() << DemoRestaurant::QueueEvening(session) << " jobs queued\n";
    } else if (command == QLatin1String("open-bill")) {
        need(3);
        terminal.OpenBill({args.at(2).toLongLong(), args.at(3), args.at(4),
                           parser.value("customer"), parser.value("note")});
    } else if (command == QLatin1String("order") || command == QLatin1String("return")) {
        need(4);
        const Terminal::Line line{args.at(3), numberArgument(args.at(4), "QTY"),
                                  numberArgument(args.at(5), "AMOUNT"), parser.value("note"),
                                  parser.value("sub").toInt()};
        const qint64 bill = args.at(2).toLongLong();
        const qint64 id = command == QLatin1String("order") ? terminal.Order(bill, line)
                                                            : terminal.Return(bill, line);
        out() << "line " << id << "\n";
    } else if (command == QLatin1String("totals")) {
        need(1);
        terminal.SetTotals(args.at(2).toLongLong(),
                           {numberOption(parser, "discount-rate"), numberOption(parser, "discount"),
                            numberOption(parser, "service-rate"), numberOption(parser, "cash"),
                            numberOption(parser, "card"), numberOption(parser, "account"),
                            numberOption(parser, "ticket")});
    } else if (command == QLatin1String("queue")) {
        need(2);
        const qint64 id = terminal.Queue({args.at(2).toLongLong(), args.at(3),
                                          parser.value("waiter"), parser.value("printer"),
                                          parser.value("sub"), parser.value("split-kind")});
        out() << "job " << id << "\n";
    } else if (command == QLatin1String("status")) {
        need(0);
        RecordSet jobs = session.Select(
            QStringLiteral("SELECT ID, Tur, AdisyonID FROM A_YazimKuyrugu ORDER BY ID"));
        out() << jobs.recordCount() << " jobs waiting\n";
        for (jobs.First(); !jobs.Eof(); jobs.Next())
            out() << "  job " << jobs.text("ID") << ": type " << jobs.text("Tur") << ", bill "
                  << jobs.text("AdisyonID") << "\n";
    } else {
        parser.showHelp(2);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("velmora-terminal"));
    try {
        return run(QCoreApplication::arguments());
    } catch (const Error& error) {
        QTextStream(stderr) << "velmora-terminal: " << error.message() << "\n";
        return 1;
    }
}
