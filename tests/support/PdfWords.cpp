#include "support/PdfWords.h"

#include "support/ExternalTool.h"

#include <QRegularExpression>
#include <algorithm>
#include <utility>

bool PdfPage::hasTextOverText() const {
    for (qsizetype i = 0; i < words.size(); ++i) {
        for (qsizetype j = i + 1; j < words.size(); ++j) {
            const auto core = [](const QRectF& box) {
                return box.adjusted(0, box.height() / 4, 0, -box.height() / 4);
            };
            if (core(words.at(i)).intersects(core(words.at(j))))
                return true;
        }
    }
    return false;
}

PdfPage ReadPdfPage(const QString& pdf) {
    const ToolRun run =
        RunTool(QStringLiteral("pdftotext"),
                {QStringLiteral("-bbox"), QStringLiteral("-f"), QStringLiteral("1"),
                 QStringLiteral("-l"), QStringLiteral("1"), pdf, QStringLiteral("-")});
    static const QRegularExpression page(
        QStringLiteral("<page width=\"[\\d.]+\" height=\"([\\d.]+)\""));
    static const QRegularExpression word(
        QStringLiteral("<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" "
                       "yMax=\"([\\d.]+)\">([^<]*)</word>"));
    const double dots = 203.0 / 72;
    QList<std::pair<QRectF, QString>> found;
    for (auto match = word.globalMatch(run.output); match.hasNext();) {
        const QRegularExpressionMatch box = match.next();
        const auto at = [&](int n) {
            return box.captured(n).toDouble() * dots;
        };
        found.append({QRectF(QPointF(at(1), at(2)), QPointF(at(3), at(4))), box.captured(5)});
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        return std::pair(qRound(a.first.top()), a.first.left()) <
               std::pair(qRound(b.first.top()), b.first.left());
    });
    PdfPage printed;
    printed.height = page.match(run.output).captured(1).toDouble() * dots;
    for (const auto& [box, text] : found) {
        printed.words << box;
        printed.texts << text;
    }
    return printed;
}
