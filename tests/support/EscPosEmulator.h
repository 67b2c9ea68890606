#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QMutex>
#include <QString>
#include <atomic>
#include <thread>

// An ESC/POS receipt printer for the tests, on TCP at 127.0.0.1 or on a pseudo-terminal,
// served from a thread of its own since the server blocks while it waits for a printer. It
// parses what arrives (ESC @, GS v 0, ESC d, GS V, DLE EOT n), answers the status questions
// with the condition the test sets and keeps each cut ticket as a picture. Told to, it
// misbehaves the way broken printers do.
class EscPosEmulator {
public:
    enum class Line { Tcp, PseudoTerminal };
    enum class Condition { Ready, PaperNearEnd, PaperEnd, CoverOpen };
    enum class Fault { None, NeverAnswers, DropsMidTicket, ReadsSlowly };

    explicit EscPosEmulator(Line line = Line::Tcp);
    ~EscPosEmulator();

    // The printer path of the server's registry.
    QString path() const { return m_path; }
    void set(Condition condition) { m_condition = condition; }
    void set(Fault fault) { m_fault = fault; }
    // Each ticket cut so far, black dots set, as wide as its raster rows.
    QList<QImage> tickets() const;
    // Bytes that were part of no command.
    int strayBytes() const { return m_stray; }

private:
    void Run();
    void Serve(int fd);
    // Takes the complete commands off the input; returns the status answers they ask for.
    QByteArray Parse();
    char Answer(char question) const;

    QString m_path;
    int m_listener = -1;
    int m_terminal = -1; // the master side; the slave stays open here too, raw
    int m_slave = -1;
    std::atomic<Condition> m_condition{Condition::Ready};
    std::atomic<Fault> m_fault{Fault::None};
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_stray{0};
    QByteArray m_input;
    QByteArray m_rows;
    int m_rowBytes = 0;
    mutable QMutex m_mutex;
    QList<QImage> m_tickets;
    std::thread m_thread;
};
