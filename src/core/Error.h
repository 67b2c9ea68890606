#pragma once

#include <QString>
#include <stdexcept>

// What went wrong, as far as the code that knows it can tell: decisions are taken on the kind,
// never on the text, which is the operator's and differs from one driver or system to the next.
enum class ErrorKind {
    Other,
    ConnectionLost, // the other end is gone: a reconnect is needed
    DiskFull,
    AccessDenied,
    TimedOut, // a lock or an answer not had in time; the other end is there
    Refused,  // the other end could not be reached at all
};

// Failures travel as exceptions, as they do through the whole server: they end the operation
// and are caught only where the design says (connection open, poll tick, log writing, ...).
class Error : public std::runtime_error {
public:
    explicit Error(const QString& message, ErrorKind kind = ErrorKind::Other)
        : std::runtime_error(message.toStdString())
        , m_message(message)
        , m_kind(kind) {}

    QString message() const { return m_message; }
    ErrorKind kind() const { return m_kind; }
    virtual QString className() const { return QStringLiteral("Error"); }

private:
    QString m_message;
    ErrorKind m_kind;
};

class DatabaseError : public Error {
public:
    using Error::Error;
    QString className() const override { return QStringLiteral("DatabaseError"); }
};

class IniFileError : public Error {
public:
    using Error::Error;
    QString className() const override { return QStringLiteral("IniFileError"); }
};

class PrinterError : public Error {
public:
    using Error::Error;
    QString className() const override { return QStringLiteral("PrinterError"); }
};
