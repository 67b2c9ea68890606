#pragma once

#include <QString>
#include <stdexcept>

// Failures travel as exceptions, as they do through the whole server: they end the operation
// and are caught only where the design says (connection open, poll tick, log writing, ...).
class Error : public std::runtime_error {
public:
    explicit Error(const QString& message)
        : std::runtime_error(message.toStdString())
        , m_message(message) {}

    QString message() const { return m_message; }
    virtual QString className() const { return QStringLiteral("Error"); }

private:
    QString m_message;
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
