#pragma once

#include "support/RecordingCanvas.h"
#include "support/TestDatabase.h"
#include "terminal/DemoRestaurant.h"

#include <QMap>
#include <QPair>
#include <QStringList>

// The demo restaurant on a test database, its printers installed as recording printers under
// the paths the registry gives them.
inline QStringList SeedDemoRestaurant(TestDatabase& db) {
    DemoRestaurant::Seed(db.session());
    QStringList paths;
    RecordSet rows = db.session().Select(QStringLiteral("SELECT Yol FROM A_Yazicilar"));
    for (rows.First(); !rows.Eof(); rows.Next())
        paths << rows.text(QStringLiteral("Yol"));
    return paths;
}

inline QString DemoPrinterPath(const char* folder) {
    return QStringLiteral("pdf:printers/") + QLatin1String(folder);
}

// How often each line stands on the documents printed to the end, by printer path.
using PrintedLines = QMap<QPair<QString, QString>, int>;

inline PrintedLines CountPrintedLines(const RecordingPrinterSource& printers) {
    PrintedLines counts;
    for (int i = 0; i < printers.documentCount(); ++i) {
        const RecordedDocument& document = printers.document(i);
        if (!document.ended || document.aborted)
            continue;
        for (const QString& line : document.lines)
            ++counts[{document.path, line}];
    }
    return counts;
}
