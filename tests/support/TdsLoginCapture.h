#pragma once

#include <QString>
#include <future>
#include <optional>
#include <thread>

// A local listener that speaks just enough of SQL Server's wire protocol to receive one
// client's login record: it answers the pre-login without encryption, reads the login and
// hangs up. It shows what a real ODBC driver made of a connection string.
class TdsLoginCapture {
public:
    struct Login {
        QString user;
        QString password;
        QString database;
    };

    TdsLoginCapture();
    ~TdsLoginCapture();
    TdsLoginCapture(const TdsLoginCapture&) = delete;
    TdsLoginCapture& operator=(const TdsLoginCapture&) = delete;

    quint16 port() const { return m_port; }
    // Waits for the client to be done; nothing when no login arrived.
    std::optional<Login> login();

private:
    std::promise<std::optional<Login>> m_result;
    std::future<std::optional<Login>> m_login;
    std::thread m_thread;
    quint16 m_port = 0;
};
