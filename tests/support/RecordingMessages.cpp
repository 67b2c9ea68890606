#include "support/RecordingMessages.h"

void RecordingMessages::ShowMessage(const QString& text) {
    m_entries.append({Kind::Message, text});
}

bool RecordingMessages::AskQuestion(const QString& text) {
    m_entries.append({Kind::Question, text});
    return m_answers.isEmpty() ? true : m_answers.dequeue();
}

QStringList RecordingMessages::textsOf(Kind kind) const {
    QStringList texts;
    for (const Entry& entry : m_entries) {
        if (entry.kind == kind)
            texts.append(entry.text);
    }
    return texts;
}
