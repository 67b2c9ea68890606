#include "db/Query.h"

Query::Query(DatabaseSession& session, QString name)
    : m_session(session)
    , m_name(std::move(name)) {}

void Query::setSql(const QString& statement) {
    Close();
    m_sql = statement;
    m_params.clear();
}

void Query::setParam(const QString& name, const QVariant& value) {
    for (auto& param : m_params) {
        if (param.first.compare(name, Qt::CaseInsensitive) == 0) {
            param.second = value;
            return;
        }
    }
    m_params.append({name, value});
}

void Query::Open() {
    Close();
    static_cast<RecordSet&>(*this) = m_session.Select(m_sql, m_params);
    m_open = true;
}

void Query::Close() {
    clear();
    m_open = false;
}

void Query::Requery() {
    Open();
}

void Query::ExecSql() {
    Close();
    m_session.ExecuteWithParameters(m_sql, m_params);
}
