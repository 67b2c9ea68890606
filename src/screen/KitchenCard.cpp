#include "screen/KitchenCard.h"

#include "kitchen/ItemLine.h"
#include "print/DateTimePlaceholders.h"
#include "print/TicketMarkup.h"

#include <QJsonArray>
#include <QRegularExpression>
#include <utility>

namespace {

using Kind = LineMarkup::Kind;

bool IsCancellationHeading(QString text) {
    text.remove(QLatin1Char('!')).remove(QLatin1Char(' '));
    return text.compare(QStringLiteral("IPTAL"), Qt::CaseInsensitive) == 0 ||
           text == QStringLiteral("İPTAL");
}

qint64 Milliseconds(const QDateTime& time) {
    return time.isValid() ? time.toMSecsSinceEpoch() : 0;
}

void AddNote(CardItem& item, const QString& note) {
    if (note.trimmed().isEmpty())
        return;
    item.note += (item.note.isEmpty() ? QString() : QStringLiteral(" · ")) + note.trimmed();
}

} // namespace

KitchenCard KitchenCard::FromTicket(const Ticket& ticket, const QDateTime& now) {
    KitchenCard card;
    card.created = now;
    qsizetype firstRule = -1;
    qsizetype lastRule = -1;
    for (qsizetype i = 0; i < ticket.size(); ++i) {
        if (ReadMarkup(ticket.at(i)).kind == Kind::Separator) {
            firstRule = firstRule < 0 ? i : firstRule;
            lastRule = i;
        }
    }
    const DateTimeSource clock = [&now] {
        return now;
    };
    for (qsizetype i = 0; i < ticket.size(); ++i) {
        const LineMarkup markup = ReadMarkup(ticket.at(i));
        if (markup.kind == Kind::Separator || markup.kind == Kind::Barcode)
            continue;
        const QString written = ticket.at(i).mid(markup.textStart);
        const QString text = ReplaceDateTimePlaceholders(written, clock).trimmed();
        const bool heading = markup.kind == Kind::Heading;
        if (heading && IsCancellationHeading(text))
            card.cancellation = true;
        if (firstRule < 0 || i < firstRule) {
            if (heading && card.title.isEmpty())
                card.title = text;
            else if (!text.isEmpty())
                card.header << text;
        } else if (i > lastRule && !heading) {
            // Tickets journaled before items were marked have them as ordinary lines.
            const bool maybeItem = markup.kind == Kind::Item ||
                                   (markup.kind == Kind::Ordinary && markup.textStart == 0);
            const std::optional<OrderedItem> item =
                maybeItem ? ReadItemLine(written) : std::nullopt;
            if (item)
                card.items.append({item->quantity, item->item, QString(), false, false});
            else if (!card.items.isEmpty())
                AddNote(card.items.last(), text);
            else if (!text.isEmpty())
                card.lines << text;
        }
    }
    static const QRegularExpression number(QStringLiteral("No:\\s*(\\S+)"));
    for (const QString& line : std::as_const(card.header)) {
        const QRegularExpressionMatch match = number.match(line);
        if (match.hasMatch()) {
            card.bill = match.captured(1);
            break;
        }
    }
    return card;
}

QJsonObject KitchenCard::ToJson() const {
    QJsonArray itemArray;
    for (const CardItem& item : items) {
        itemArray.append(QJsonObject{{QStringLiteral("quantity"), item.quantity},
                                     {QStringLiteral("name"), item.name},
                                     {QStringLiteral("note"), item.note},
                                     {QStringLiteral("crossedOff"), item.crossedOff},
                                     {QStringLiteral("cancelled"), item.cancelled}});
    }
    return {{QStringLiteral("id"), id},
            {QStringLiteral("title"), title},
            {QStringLiteral("cancellation"), cancellation},
            {QStringLiteral("bill"), bill},
            {QStringLiteral("header"), QJsonArray::fromStringList(header)},
            {QStringLiteral("items"), itemArray},
            {QStringLiteral("lines"), QJsonArray::fromStringList(lines)},
            {QStringLiteral("created"), Milliseconds(created)},
            {QStringLiteral("shown"), Milliseconds(shown)}};
}

KitchenCard KitchenCard::FromJson(const QJsonObject& json) {
    const auto strings = [&json](const QString& key) {
        QStringList list;
        for (const QJsonValue& value : json.value(key).toArray())
            list << value.toString();
        return list;
    };
    KitchenCard card;
    card.title = json.value(QStringLiteral("title")).toString();
    card.cancellation = json.value(QStringLiteral("cancellation")).toBool();
    card.bill = json.value(QStringLiteral("bill")).toString();
    card.header = strings(QStringLiteral("header"));
    card.lines = strings(QStringLiteral("lines"));
    for (const QJsonValue& value : json.value(QStringLiteral("items")).toArray()) {
        const QJsonObject item = value.toObject();
        card.items.append({item.value(QStringLiteral("quantity")).toString(),
                           item.value(QStringLiteral("name")).toString(),
                           item.value(QStringLiteral("note")).toString(),
                           item.value(QStringLiteral("crossedOff")).toBool(),
                           item.value(QStringLiteral("cancelled")).toBool()});
    }
    return card;
}

bool KitchenCard::Cancel(const QString& name) {
    for (CardItem& item : items) {
        if (!item.cancelled && item.name == name) {
            item.cancelled = true;
            return true;
        }
    }
    return false;
}
