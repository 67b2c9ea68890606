#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QImage>
#include <QList>
#include <QMutex>
#include <QMutexLocker>
#include <QString>
#include <atomic>
#include <functional>
#include <thread>

// An ESC/POS receipt printer for the tests, on TCP at 127.0.0.1 with a printer's small receive
// buffer, or (POSIX only) on a pseudo-terminal with the port's default settings, served from its
// own thread. It parses ESC @, GS v 0, ESC d, GS V, the bells (ESC B, ESC ( A, ESC GS BEL,
// ESC p), skips zero bytes and, like many printers, answers DLE EOT n on arrival, inside
// picture data too. An unfinished band outlives the connection. It keeps each cut ticket as a
// picture with the beeps heard after its cut and, told to, misbehaves as broken printers
// do; ReadsSlowly is 9600 baud on the tests' time scale, a tenth of the server's; Hangs reads
// nothing more, its buffer full.
class EscPosEmulator {
public:
    enum class Condition { Ready, PaperNearEnd, PaperEnd, CoverOpen };
    enum class Fault { None, NeverAnswers, DropsMidTicket, ReadsSlowly, RunsOutAfterTicket, Hangs };

    explicit EscPosEmulator(bool pseudoTerminal = false);
    ~EscPosEmulator();

    QString path() const { return m_path; } // for A_Yazicilar
    void set(Condition condition) { m_condition = condition; }
    void set(Fault fault);
    QList<QImage> tickets() const {
        const QMutexLocker lock(&m_mutex);
        return m_tickets;
    }
    // For each cut ticket the bell commands heard after its cut, once per beep.
    QList<QStringList> bells() const {
        const QMutexLocker lock(&m_mutex);
        return m_bells;
    }

private:
    // Until the line closes; waitForData says 1 when there is input, 0 for none yet, -1 closed.
    void Serve(QIODevice& line, const std::function<int()>& waitForData);
    QByteArray Answers(const QByteArray& bytes); // to the DLE EOT n among the bytes received
    void Parse();                                // eats whole commands off the input

    QString m_path;
    int m_listening = -1; // the TCP server's socket (POSIX)
    std::atomic<Condition> m_condition{Condition::Ready};
    std::atomic<Fault> m_fault{Fault::None};
    std::atomic<bool> m_stop{false};
    QByteArray m_input;
    QByteArray m_lastReceived; // the end of the previous read, for a question split between two
    QByteArray m_rows;
    int m_rowBytes = 1;
    mutable QMutex m_mutex;
    QList<QImage> m_tickets;
    QList<QStringList> m_bells;
    std::thread m_thread;
};
