#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <initializer_list>
#include <utility>

// The pieces the status page is built of, with the escaping in one place: a text becomes HTML
// only here.
namespace HtmlParts {

QString Esc(const QString& text);

// A table cell: a text, escaped, or HTML built from escaped pieces.
class Cell {
public:
    Cell(const QString& text)
        : m_html(Esc(text)) {}
    static Cell Html(QString html, QString cssClass = QString());

    QString html() const { return m_html; }
    QString cssClass() const { return m_class; }

private:
    Cell() = default;
    QString m_html;
    QString m_class;
};

// A table whose rows become labelled blocks on a narrow screen: each cell carries its column's
// heading.
class Table {
public:
    explicit Table(QStringList headings);

    void AddRow(std::initializer_list<Cell> cells);
    bool isEmpty() const { return m_rows.isEmpty(); }
    QString Html() const;

private:
    QStringList m_headings;
    QString m_rows;
};

// The text as a QR code drawn in SVG, for a phone's or a tablet's camera; an empty text when it
// is too long for one.
QString QrSvg(const QString& text);

// A form that posts to the action with the session's token, the hidden fields and the button;
// controls, HTML, go before the button.
QString PostForm(const QString& action, const QByteArray& token,
                 const QList<std::pair<QString, QString>>& hidden, const QString& button,
                 const QString& controls = QString());

} // namespace HtmlParts
