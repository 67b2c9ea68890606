#include "print/EscPosStatusQuery.h"

#include <algorithm>

namespace {

// How long more answers are waited for once the printer said enough for the question asked:
// many printers leave the questions inside picture data unanswered.
constexpr int kSettle = 100;

} // namespace

int EscPosStatusQuery::QuestionsIn(const QByteArray& sent) {
    int questions = 0;
    for (qsizetype at = sent.indexOf("\x10\x04"); at >= 0 && at + 2 < sent.size();
         at = sent.indexOf("\x10\x04", at + 1)) {
        const char n = sent.at(at + 2);
        questions += n >= 1 && n <= 4 ? 1 : 0;
    }
    return questions;
}

EscPosStatusQuery::EscPosStatusQuery(EscPosConnection& connection, int earlierQuestions)
    : m_connection(connection)
    , m_earlierQuestions(earlierQuestions) {}

std::optional<EscPosStatus> EscPosStatusQuery::Ask(QDeadlineTimer deadline) {
    m_connection.Write(EscPosStatus::Request(), std::max(1, int(deadline.remainingTime())));
    const int most = m_earlierQuestions + EscPosStatus::kAnswerBytes;
    QByteArray answers;
    while (answers.size() < most) {
        const QDeadlineTimer wait = answers.size() < EscPosStatus::kAnswerBytes
                                        ? deadline
                                        : std::min(deadline, QDeadlineTimer(kSettle));
        const QByteArray more = m_connection.Read(most - int(answers.size()), wait);
        if (more.isEmpty())
            break;
        answers += more;
    }
    return EscPosStatus::Decode(answers.right(EscPosStatus::kAnswerBytes));
}
