#pragma once

#include "preview/PreviewPrinters.h"
#include "print/PrintSettings.h"
#include "terminal/Terminal.h"

#include <QList>
#include <QString>

class PreviewFolder;

// What to preview: a queued job, or a bill with the job a terminal would queue for it.
struct PreviewRequest {
    QString serverDirectory;
    qint64 jobId = 0; // a queued job; 0 when billJob is given
    Terminal::Job billJob;
};

struct PreviewReport {
    QString jobType;
    QString billId;
    PrintSettings settings; // as Velmora.ini gives them, dummy mode included
    bool printRates = false;
    QList<PreviewTicket> tickets;
    // The error that ended the job; the tickets are those made before it.
    QString failure;
};

// Runs one job through the server's own start-up, poller and builders, inside a database
// transaction that is rolled back, with every printer replaced by a PDF file in the folder.
// The ini files are read but never written.
class TicketPreview {
public:
    TicketPreview(PreviewRequest request, const PreviewFolder& folder);

    // Throws Error when the preview cannot run: start-up failed (its messages are on standard
    // error), no such job or bill, or the rollback failed.
    PreviewReport Run();

private:
    PreviewRequest m_request;
    const PreviewFolder& m_folder;
};
