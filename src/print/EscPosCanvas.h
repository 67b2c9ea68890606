#pragma once

#include "print/EscPosAddress.h"
#include "print/EscPosConnection.h"
#include "print/RasterCanvas.h"

#include <QDeadlineTimer>
#include <QHash>
#include <memory>

// Which receipt printers answered the status question since the server started, by path. A
// printer asked and never heard from is one without status (some USB and network interfaces,
// a serial cable with the transmit wire only): its tickets go out without asking. It is asked
// again now and then, since a printer that hung at its first question answers once it is back.
class EscPosAnswerHistory {
public:
    enum class Seen { NotAsked, Answered, NeverAnswered };

    // A status question costs a printer without status the status timeout.
    static constexpr int kAskAgainMs = 60000;

    // A printer that never answered is NotAsked again once its time to be asked has come.
    Seen Of(const QString& path) const;
    void Record(const QString& path, Seen seen);

private:
    struct Answers {
        Seen seen = Seen::NotAsked;
        QDeadlineTimer askAgain; // for one that never answered
    };

    QHash<QString, Answers> m_seen;
};

// A document on an ESC/POS receipt printer, with no driver or spooler between. The connection
// starts clean, the printer is asked for its status before anything is drawn, and the ticket
// is drawn as a picture and sent as raster, its bell after the cut. Once the link has passed
// on its last byte the printer has the ticket: what the printer says after it concerns the
// next one.
class EscPosCanvas : public RasterCanvas {
public:
    EscPosCanvas(EscPosAddress address, EscPosTimeouts timeouts, EscPosAnswerHistory& history);
    ~EscPosCanvas() override;

    void BeginDocument(int contentHeight) override;
    void EndDocument() override;
    void Abort() noexcept override;
    bool ConfirmsPrinting() const override { return true; }
    QString Warning() const override { return m_warning; }
    QString FaultAfterDocument() const override { return m_faultAfter; }

private:
    // Throws PrinterError with the reason when the printer cannot print now.
    void RequireReady();
    // Why the printer would not take a next ticket, or the empty text.
    QString FaultAfter(int questionsInTicket);

    EscPosAddress m_address;
    EscPosTimeouts m_timeouts;
    EscPosAnswerHistory& m_history;
    std::unique_ptr<EscPosConnection> m_connection;
    bool m_asksStatus = false;
    QString m_warning;
    QString m_faultAfter;
};
