#include "web/HtmlParts.h"

#include "print/QrCode.h"

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

QString QrSvg(const QString& text) {
    const std::optional<QrCode> symbol = QrCode::Encode(text.toUtf8());
    if (!symbol)
        return QString();
    const int quiet = QrCode::kQuietModules;
    const int side = symbol->size() + 2 * quiet;
    // One path of horizontal runs: small, and crisp at any size.
    QString path;
    for (int y = 0; y < symbol->size(); ++y) {
        for (int x = 0; x < symbol->size();) {
            if (!symbol->isDark(x, y)) {
                ++x;
                continue;
            }
            int run = 0;
            while (x + run < symbol->size() && symbol->isDark(x + run, y))
                ++run;
            path += QStringLiteral("M%1 %2h%3v1h-%3z").arg(x + quiet).arg(y + quiet).arg(run);
            x += run;
        }
    }
    return QStringLiteral("<svg class=\"qr\" viewBox=\"0 0 %1 %1\" width=\"176\" height=\"176\" "
                          "shape-rendering=\"crispEdges\"><rect width=\"%1\" height=\"%1\" "
                          "fill=\"#fff\"/><path fill=\"#000\" d=\"%2\"/></svg>")
        .arg(side)
        .arg(path);
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
