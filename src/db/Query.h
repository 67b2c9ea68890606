#pragma once

#include "db/DatabaseSession.h"
#include "db/RecordSet.h"

#include <QString>

// A named query component (Q, A, EKA, X, YAZ): a statement, its named parameters and, once
// opened, its whole result to move over.
class Query : public RecordSet {
public:
    Query(DatabaseSession& session, QString name);

    const QString& name() const { return m_name; }
    const QString& sql() const { return m_sql; }
    // Replacing the statement closes the query and forgets the parameters.
    void setSql(const QString& statement);
    // Sets a parameter's value, adding it at the end of the parameter list when new.
    void setParam(const QString& name, const QVariant& value);
    const SqlParameters& params() const { return m_params; }

    // Runs the statement and stands on the first row. Throws DatabaseError.
    void Open();
    void Close();
    bool isOpen() const { return m_open; }
    // Re-runs the statement with the current parameters (clears any filter).
    void Requery();
    // Runs a statement that returns no rows, with the current parameters; the query stays
    // closed.
    void ExecSql();

private:
    DatabaseSession& m_session;
    QString m_name;
    QString m_sql;
    SqlParameters m_params;
    bool m_open = false;
};
