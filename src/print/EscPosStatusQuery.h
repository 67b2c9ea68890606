#pragma once

#include "print/EscPosConnection.h"
#include "print/EscPosStatus.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <optional>

// One status question to an ESC/POS printer over an open connection, and its answer. Printers
// answer a status question on arrival, even one that happens to occur inside picture data;
// those answers come before the one asked for, so the answer is the last three bytes once the
// printer has said what it will.
class EscPosStatusQuery {
public:
    // The status questions hidden in bytes sent, each of which a printer may answer.
    static int QuestionsIn(const QByteArray& sent);

    // The input holds nothing but answers to the earlier questions, if any.
    EscPosStatusQuery(EscPosConnection& connection, int earlierQuestions = 0);

    // Null when the printer did not answer before the deadline, or not with status bytes.
    std::optional<EscPosStatus> Ask(QDeadlineTimer deadline);

private:
    EscPosConnection& m_connection;
    int m_earlierQuestions;
};
