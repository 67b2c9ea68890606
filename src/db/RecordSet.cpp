#include "db/RecordSet.h"

#include "core/Error.h"
#include "core/NumberForms.h"

#include <QRegularExpression>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {

bool isIntegerType(int type) {
    switch (type) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        return true;
    default:
        return false;
    }
}

bool isFloatingType(int type) {
    return type == QMetaType::Double || type == QMetaType::Float;
}

bool isNumericValue(const QVariant& value) {
    const int type = value.metaType().id();
    return isIntegerType(type) || isFloatingType(type) || type == QMetaType::Bool;
}

// The value as its column's type says. A driver may hand a number over as text (an ODBC driver
// its decimal or money columns, SQLite whatever a row stored), so the text forms see the
// number whatever the driver did. Text that is no number stays text; nulls stay null.
QVariant typedValue(const QVariant& value, QMetaType columnType) {
    const int type = columnType.id();
    const bool floating = isFloatingType(type);
    if ((!floating && !isIntegerType(type)) || value.isNull() ||
        value.metaType().id() != QMetaType::QString)
        return value;
    bool isNumber = false;
    const QString text = value.toString().trimmed();
    if (floating) {
        const double number = text.toDouble(&isNumber);
        return isNumber ? QVariant(number) : value;
    }
    const qlonglong number = text.toLongLong(&isNumber);
    return isNumber ? QVariant(number) : value;
}

bool matchesLiteral(const QVariant& value, const QString& literal) {
    if (value.isNull())
        return literal.isEmpty();
    if (isNumericValue(value)) {
        bool isNumber = false;
        const double wanted = literal.trimmed().toDouble(&isNumber);
        return isNumber && value.toDouble() == wanted;
    }
    // Text compares without regard to case, the same on every locale.
    return value.toString().compare(literal, Qt::CaseInsensitive) == 0;
}

} // namespace

RecordSet::RecordSet(QStringList columns, QList<Row> rows)
    : m_columns(std::move(columns))
    , m_rows(std::move(rows)) {
    clearFilter();
}

RecordSet RecordSet::fetchAll(QSqlQuery& query) {
    const QSqlRecord record = query.record();
    QStringList columns;
    QList<QMetaType> types;
    for (int i = 0; i < record.count(); ++i) {
        columns << record.fieldName(i);
        types << record.field(i).metaType();
    }
    QList<Row> rows;
    while (query.next()) {
        Row row;
        row.reserve(columns.size());
        for (int i = 0; i < columns.size(); ++i)
            row << typedValue(query.value(i), types.at(i));
        rows << row;
    }
    return RecordSet(columns, rows);
}

void RecordSet::First() {
    m_position = 0;
}

void RecordSet::Next() {
    if (m_position < m_visible.size())
        ++m_position;
}

void RecordSet::Last() {
    m_position = m_visible.isEmpty() ? 0 : m_visible.size() - 1;
}

bool RecordSet::Eof() const {
    return m_position >= m_visible.size();
}

QVariant RecordSet::value(const QString& column) const {
    return currentRow().at(requireColumn(column));
}

bool RecordSet::isNull(const QString& column) const {
    return value(column).isNull();
}

QString RecordSet::text(const QString& column) const {
    const QVariant v = value(column);
    if (isFloatingType(v.metaType().id()))
        return QuantityText(v);
    return v.isNull() ? QString() : v.toString();
}

double RecordSet::number(const QString& column) const {
    return value(column).toDouble();
}

void RecordSet::setFilter(const QString& filterText) {
    // COLUMN='literal' with '' standing for an apostrophe inside the literal.
    static const QRegularExpression form(
        QStringLiteral(R"(^\s*([A-Za-z_][A-Za-z0-9_]*)\s*=\s*'((?:[^']|'')*)'\s*$)"),
        QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch match = form.match(filterText);
    if (!match.hasMatch())
        throw DatabaseError(QStringLiteral("Gecersiz filtre: ") + filterText);
    const int column = requireColumn(match.captured(1));
    applyFilter(column, match.captured(2).replace(QLatin1String("''"), QLatin1String("'")));
    m_filterText = filterText;
}

void RecordSet::clearFilter() {
    m_visible.clear();
    m_visible.reserve(m_rows.size());
    for (int i = 0; i < m_rows.size(); ++i)
        m_visible << i;
    m_position = 0;
    m_filterText.clear();
}

void RecordSet::clear() {
    m_columns.clear();
    m_rows.clear();
    clearFilter();
}

int RecordSet::columnIndex(const QString& column) const {
    for (int i = 0; i < m_columns.size(); ++i) {
        if (m_columns.at(i).compare(column, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

int RecordSet::requireColumn(const QString& column) const {
    const int index = columnIndex(column);
    if (index < 0)
        throw DatabaseError(QStringLiteral("Alan bulunamadi: ") + column);
    return index;
}

const RecordSet::Row& RecordSet::currentRow() const {
    if (Eof())
        throw DatabaseError(QStringLiteral("Kayit yok (veri kumesinin sonu)"));
    return m_rows.at(m_visible.at(m_position));
}

void RecordSet::applyFilter(int column, const QString& literal) {
    m_visible.clear();
    for (int i = 0; i < m_rows.size(); ++i) {
        if (matchesLiteral(m_rows.at(i).at(column), literal))
            m_visible << i;
    }
    m_position = 0;
}

ScopedFilter::ScopedFilter(RecordSet& records, const QString& filterText)
    : m_records(records) {
    m_records.setFilter(filterText);
}

ScopedFilter::~ScopedFilter() {
    m_records.clearFilter();
}
