#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

class QSqlQuery;

// A result fetched whole to the client, moved over like a dataset: first, next, last and
// past the end, with an optional in-memory filter of the form COLUMN='literal'.
class RecordSet {
public:
    using Row = QList<QVariant>;

    RecordSet() = default;
    RecordSet(QStringList columns, QList<Row> rows);

    // Reads every row the query has left to give.
    static RecordSet fetchAll(QSqlQuery& query);

    const QStringList& columns() const { return m_columns; }
    bool hasColumn(const QString& column) const { return columnIndex(column) >= 0; }
    // Rows visible through the filter.
    int recordCount() const { return m_visible.size(); }
    bool isEmpty() const { return m_visible.isEmpty(); }

    void First();
    void Next();
    void Last();
    bool Eof() const;

    // Values of the current row; a column that does not exist is a DatabaseError, and so is
    // reading past the end.
    QVariant value(const QString& column) const;
    bool isNull(const QString& column) const;
    // The text form: null gives the empty text, a floating-point value its quantity text.
    QString text(const QString& column) const;
    // The floating-point form: null gives 0.
    double number(const QString& column) const;

    // "COLUMN='literal'" with doubled apostrophes inside the literal. Text compares without
    // regard to case; a numeric value compares numerically (a literal that is no number
    // matches nothing); null equals the empty literal.
    // A malformed filter text is a DatabaseError and leaves the previous filter in force.
    void setFilter(const QString& filterText);
    void clearFilter();
    QString filter() const { return m_filterText; }

    void clear();

private:
    int columnIndex(const QString& column) const;
    int requireColumn(const QString& column) const;
    const Row& currentRow() const;
    void applyFilter(int column, const QString& literal);

    QStringList m_columns;
    QList<Row> m_rows;
    QList<int> m_visible; // indexes into m_rows that pass the filter
    int m_position = 0;   // index into m_visible; == size() means past the end
    QString m_filterText;
};

// Restricts a record set for one scope and lifts the restriction however the scope ends.
class ScopedFilter {
public:
    ScopedFilter(RecordSet& records, const QString& filterText);
    ~ScopedFilter();
    ScopedFilter(const ScopedFilter&) = delete;
    ScopedFilter& operator=(const ScopedFilter&) = delete;

private:
    RecordSet& m_records;
};
