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

// The server's start-up, run once before the event loop: configuration, pause, connection,
// queue clean-up, queries, printers, poll interval, rates, timer. Its order matters: the pause
// comes from Velmora.ini, and the timer starts only when every other step has succeeded.
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
