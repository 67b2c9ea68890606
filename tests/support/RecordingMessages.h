#pragma once

#include "core/UserMessages.h"

#include <QList>
#include <QQueue>
#include <QString>
#include <QStringList>

// Stands in for the message boxes: keeps every message and question in the order shown and
// answers the questions from a queue, Yes once the queue is empty.
class RecordingMessages : public UserMessages {
public:
    enum class Kind { Message, Question };
    struct Entry {
        Kind kind;
        QString text;
        bool operator==(const Entry& other) const {
            return kind == other.kind && text == other.text;
        }
    };

    void ShowMessage(const QString& text) override;
    bool AskQuestion(const QString& text) override;

    void queueAnswer(bool yes) { m_answers.enqueue(yes); }

    const QList<Entry>& entries() const { return m_entries; }
    QStringList messages() const { return textsOf(Kind::Message); }
    QStringList questions() const { return textsOf(Kind::Question); }
    void clear() { m_entries.clear(); }

private:
    QStringList textsOf(Kind kind) const;

    QList<Entry> m_entries;
    QQueue<bool> m_answers;
};
