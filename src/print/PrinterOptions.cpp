#include "print/PrinterOptions.h"

#include "core/Error.h"

#include <QStringList>
#include <algorithm>
#include <vector>

namespace {

using Kind = PrinterOptions::Kind;

// One option: a whole number from low to high, or one of its words, which stand for 1, 2, ...
// in order (0 is the value without the option).
struct OptionRule {
    QLatin1String name;
    int low;
    int high;
    std::vector<QLatin1String> words;
    Kind widest; // the last kind of printer that takes it
    void (*set)(PrinterOptions&, int);
    int (*get)(const PrinterOptions&);
};

// The one list of options, in the order they are written back.
const std::vector<OptionRule>& Rules() {
    using O = PrinterOptions;
    // clang-format off
    static const std::vector<OptionRule> rules{
        {QLatin1String("dots"), 8, O::kMaxDots, {}, Kind::EscPos,
         [](O& o, int v) { o.dots = v; }, [](const O& o) { return o.dots; }},
        {QLatin1String("baud"), 300, 4000000, {}, Kind::EscPos,
         [](O& o, int v) { o.baud = v; }, [](const O& o) { return o.baud; }},
        {QLatin1String("status"), 0, 1, {}, Kind::EscPos,
         [](O& o, int v) { o.asksStatus = v == 1; }, [](const O& o) { return int(o.asksStatus); }},
        {QLatin1String("zil"), 1, 9, {}, Kind::Pdf,
         [](O& o, int v) { o.ticket.rings = v; }, [](const O& o) { return o.ticket.rings; }},
        {QLatin1String("zilkomutu"), 0, 0,
         {QLatin1String("epson"), QLatin1String("star"), QLatin1String("cekmece")}, Kind::Pdf,
         [](O& o, int v) { o.ticket.bell = TicketOptions::Bell(v); },
         [](const O& o) { return int(o.ticket.bell); }},
        {QLatin1String("boyut"), 1, 3, {}, Kind::Spooler,
         [](O& o, int v) { o.ticket.scale = v; }, [](const O& o) { return o.ticket.scale; }},
        {QLatin1String("vurgu"), 0, 0, {QLatin1String("ters"), QLatin1String("kirmizi")},
         Kind::Spooler,
         [](O& o, int v) { o.ticket.emphasis = TicketOptions::Emphasis(v); },
         [](const O& o) { return int(o.ticket.emphasis); }},
    };
    // clang-format on
    return rules;
}

QString Schemes(Kind widest) {
    return widest == Kind::EscPos ? QStringLiteral("escpos:") : QStringLiteral("escpos: ve pdf:");
}

// "ters ya da kirmizi", "epson, star ya da cekmece".
QString Alternatives(const std::vector<QLatin1String>& words) {
    QStringList all;
    for (const QLatin1String word : words)
        all << word;
    const QString last = all.takeLast();
    return all.join(QStringLiteral(", ")) + QStringLiteral(" ya da ") + last;
}

int Value(const OptionRule& rule, const QString& value, const QString& printer) {
    if (!rule.words.empty()) {
        for (size_t i = 0; i < rule.words.size(); ++i) {
            if (value.compare(rule.words[i], Qt::CaseInsensitive) == 0)
                return int(i) + 1;
        }
        RefusePrinter(
            printer,
            QStringLiteral("%1 %2 olmali: '%3'").arg(rule.name, Alternatives(rule.words), value));
    }
    bool ok = false;
    const int number = value.toInt(&ok);
    if (!ok || number < rule.low || number > rule.high)
        RefusePrinter(printer, QStringLiteral("%1 %2 ile %3 arasinda olmali: '%4'")
                                   .arg(rule.name)
                                   .arg(rule.low)
                                   .arg(rule.high)
                                   .arg(value));
    return number;
}

} // namespace

void RefusePrinter(const QString& printer, const QString& why) {
    throw PrinterError(printer + QStringLiteral(" (") + why + QLatin1Char(')'));
}

PrinterOptions PrinterOptions::Parse(const QString& text, Kind kind, const QString& printer) {
    PrinterOptions options;
    for (const QString& option : text.split(QLatin1Char('&'))) {
        const qsizetype equals = option.indexOf(QLatin1Char('='));
        if (equals < 0)
            RefusePrinter(printer, QStringLiteral("secenegin degeri yok: '%1'").arg(option));
        const QString name = option.left(equals).toLower();
        const auto rule = std::find_if(Rules().begin(), Rules().end(),
                                       [&name](const OptionRule& r) { return r.name == name; });
        if (rule == Rules().end())
            RefusePrinter(printer, QStringLiteral("bilinmeyen secenek '%1'").arg(option));
        if (kind > rule->widest)
            RefusePrinter(printer, QStringLiteral("'%1' yalnizca %2 yazicilarinda gecerli")
                                       .arg(option, Schemes(rule->widest)));
        rule->set(options, Value(*rule, option.mid(equals + 1), printer));
    }
    return options;
}

QString PrinterOptions::TicketText(const TicketOptions& ticket) {
    PrinterOptions options;
    options.ticket = ticket;
    const PrinterOptions defaults;
    QStringList given;
    for (const OptionRule& rule : Rules()) {
        const int value = rule.get(options);
        if (value == rule.get(defaults) || rule.widest == Kind::EscPos)
            continue;
        given << rule.name + QLatin1Char('=') +
                     (rule.words.empty() ? QString::number(value) : rule.words.at(value - 1));
    }
    return given.join(QLatin1Char('&'));
}
