#pragma once

#include <QString>

class DatabaseSession;

// Writes orders and print jobs the way the order-taking terminals do, so the server can be
// tried and tested without them. Flags start at 0; a returned line arrives already sent.
class Terminal {
public:
    explicit Terminal(DatabaseSession& session);

    struct Bill {
        qint64 id = 0;
        QString department;
        QString table;
        QString customerCode;
        QString note;
    };
    void OpenBill(const Bill& bill);

    struct Line {
        QString product;
        double quantity = 1;
        double amount = 0;
        QString note;
        int subAccount = 0;
    };
    qint64 Order(qint64 billId, const Line& line);
    qint64 Return(qint64 billId, const Line& line);

    struct Totals {
        double discountRate = 0;
        double discount = 0;
        double serviceRate = 0;
        double cash = 0;
        double card = 0;
        double account = 0;
        double ticket = 0;
    };
    // Closes the bill's figures: the total is the sale lines less the discount plus service.
    void SetTotals(qint64 billId, const Totals& totals);

    struct Job {
        qint64 billId = 0;
        QString type;
        QString waiterCode;
        QString printerName; // "G" asks for the waiter's copy
        QString subAccount;
        QString splitKind;
    };
    qint64 Queue(const Job& job);

private:
    qint64 insertLine(const QString& table, qint64 billId, const Line& line, bool alreadySent);
    qint64 lastId(const QString& table);

    DatabaseSession& m_session;
};
