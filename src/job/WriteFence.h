#pragma once

#include "db/DatabaseSession.h"

#include <QString>

// Thrown through a tick once another server prints: the job stays queued for it, and its
// failure counts nowhere. Not an Error on purpose, so that no handler of job failures takes it
// for one.
class FenceLost {};

// What the job code asks before each step that another server sharing the database may take
// too: a ticket going to its printer, the marks of its lines, the job's deletion. The job code
// knows nothing of who else prints; whoever assembles the server hands it the fence.
class WriteFence {
public:
    virtual ~WriteFence() = default;

    // Throws FenceLost unless this server may still print.
    virtual void Check() = 0;
    // Runs the statement only while this server may still write: throws FenceLost, with
    // nothing written, once it may not.
    virtual void Execute(const QString& statement) = 0;
};

// The fence of a server that is the only one on its database, and of tools that only look.
class Unfenced : public WriteFence {
public:
    explicit Unfenced(DatabaseSession& session)
        : m_session(session) {}

    void Check() override {}
    void Execute(const QString& statement) override { m_session.Execute(statement); }

private:
    DatabaseSession& m_session;
};
