#pragma once

#include <QString>
#include <functional>

struct ServerParts;
class DatabaseSession;
class UserMessages;

enum class StartupOutcome {
    Running,          // every step done; the timer runs unless the interval is 0
    Stopped,          // a step failed and its message was shown; the timer stays off
    ConnectionFailed, // both messages shown; the process is to end with exit code 0
};

// What start-up does outside the process: the pause before connecting and the rates download.
struct StartupHooks {
    using Pause = std::function<void(int milliseconds)>;
    using FetchRates = std::function<QString(const QString& directory)>;
    using Connected = std::function<void(DatabaseSession& session)>;

    Pause pause;
    FetchRates fetchRates;
    // Optional: runs once the connection is open, before start-up changes the database or
    // makes the print engine from the settings read. The ticket preview opens its transaction
    // here.
    Connected connected = {};

    // A blocking sleep and the central bank's file.
    static StartupHooks System();
};

// The server's start-up, run once before the event loop. Its order matters: the pause comes
// from Velmora.ini, and the timer starts only when every other step has succeeded. The steps,
// numbered as the code marks them:
//    1  a missing Database.ini is announced         DatabaseConnection::ReadDatabaseIni
//    2  Server, Database, User, Pass are read       DatabaseConnection::ReadDatabaseIni
//    3  the print layout and the backup printers    ReadLocalSettings
//       from Velmora.ini
//    4  the pause before connecting, and the wait   ReadLocalSettings
//    5  the switches, the journal's retention, the    ReadLocalSettings
//       status page's port, password and metrics
//       key, the notifications (and the faults to
//       them), and the queue check between the ticks
//    6  the connection C is opened                  DatabaseConnection::Connect
//    7  queue rows that name no bill are deleted
//    8  the poller with its empty printer lists,    ServerParts::CreatePoller
//       the print engine, the empty registry
//    9  the statements of the five queries, then    OpenQueries
//       Q, A, X and YAZ opened
//   10  the printer registry loaded from YAZ
//   11  the poll interval from AYAR
//   12  the exchange-rate line, when switched on    ReadExchangeRates
//   13  the poll timer and the queue check started  EnableTimer
class StartupSequence {
public:
    StartupSequence(ServerParts& parts, UserMessages& messages, StartupHooks hooks);

    StartupOutcome FormCreate();

private:
    void ReadLocalSettings();
    void OpenQueries();
    void ReadExchangeRates();
    void EnableTimer();

    ServerParts& m_parts;
    UserMessages& m_messages;
    StartupHooks m_hooks;
};
