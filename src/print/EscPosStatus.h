#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// The real-time status of an ESC/POS printer, from its answers to DLE EOT 1 (printer), 2
// (offline cause) and 4 (roll paper sensor), asked together.
struct EscPosStatus {
    // The reasons a printer does not print now, as the operator reads them.
    static const QString kPaperEnd;
    static const QString kCoverOpen;
    static const QString kOffline;
    static const QString kNoAnswer;
    // Not a failure: the ticket prints, the operator is warned.
    static const QString kPaperNearEnd;

    // The three questions; their answers come back in this order, one byte each.
    static QByteArray Request();
    static constexpr int kAnswerBytes = 3;
    // Null when the answers are missing or are not status bytes.
    static std::optional<EscPosStatus> Decode(const QByteArray& answers);

    // The reason the printer cannot print now, or the empty text when it can.
    QString FailureReason() const;

    bool offline = false;
    bool coverOpen = false;
    bool paperEnd = false;
    bool paperNearEnd = false; // a warning: it still prints
};
