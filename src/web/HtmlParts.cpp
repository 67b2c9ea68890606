#include "web/HtmlParts.h"

namespace HtmlParts {

QString Esc(const QString& text) {
    return text.toHtmlEscaped();
}

Cell Cell::Html(QString html, QString cssClass) {
    Cell cell;
    cell.m_html = std::move(html);
    cell.m_class = std::move(cssClass);
    return cell;
}

Table::Table(QStringList headings)
    : m_headings(std::move(headings)) {}

void Table::AddRow(std::initializer_list<Cell> cells) {
    m_rows += QStringLiteral("<tr>");
    qsizetype column = 0;
    for (const Cell& cell : cells) {
        const QString heading = m_headings.value(column++);
        m_rows += QStringLiteral("<td");
        if (!heading.isEmpty())
            m_rows += QStringLiteral(" data-k=\"") + Esc(heading) + QLatin1Char('"');
        if (!cell.cssClass().isEmpty())
            m_rows += QStringLiteral(" class=\"") + Esc(cell.cssClass()) + QLatin1Char('"');
        m_rows += QLatin1Char('>') + cell.html() + QStringLiteral("</td>");
    }
    m_rows += QStringLiteral("</tr>");
}

QString Table::Html() const {
    QString html = QStringLiteral("<table><tr>");
    for (const QString& heading : m_headings)
        html += QStringLiteral("<th>") + Esc(heading) + QStringLiteral("</th>");
    return html + QStringLiteral("</tr>") + m_rows + QStringLiteral("</table>");
}

QString PostForm(const QString& action, const QByteArray& token,
                 const QList<std::pair<QString, QString>>& hidden, const QString& button,
                 const QString& controls) {
    QString html = QStringLiteral("<form method=\"post\" action=\"") + Esc(action) +
                   QStringLiteral("\"><input type=\"hidden\" name=\"token\" value=\"") +
                   Esc(QString::fromLatin1(token)) + QStringLiteral("\">");
    for (const auto& [name, value] : hidden) {
        html += QStringLiteral("<input type=\"hidden\" name=\"") + Esc(name) +
                QStringLiteral("\" value=\"") + Esc(value) + QStringLiteral("\">");
    }
    return html + controls + QStringLiteral("<button>") + Esc(button) +
           QStringLiteral("</button></form>");
}

} // namespace HtmlParts
