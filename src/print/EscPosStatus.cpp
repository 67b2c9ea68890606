#include "print/EscPosStatus.h"

#include <algorithm>

const QString EscPosStatus::kPaperEnd = QStringLiteral("Kagit bitti");
const QString EscPosStatus::kCoverOpen = QStringLiteral("Kapak acik");
const QString EscPosStatus::kOffline = QStringLiteral("Yazici cevrimdisi");
const QString EscPosStatus::kNoAnswer = QStringLiteral("Yazici cevap vermiyor");
const QString EscPosStatus::kPaperNearEnd = QStringLiteral("Kagit azaliyor");

namespace {

// Every status byte has bits 1 and 4 set and bits 0 and 7 clear; anything else is noise.
bool IsStatusByte(char byte) {
    return (static_cast<unsigned char>(byte) & 0x93) == 0x12;
}

bool Has(char byte, unsigned bits) {
    return (static_cast<unsigned char>(byte) & bits) == bits;
}

} // namespace

QByteArray EscPosStatus::Request() {
    return QByteArrayLiteral("\x10\x04\x01\x10\x04\x02\x10\x04\x04");
}

std::optional<EscPosStatus> EscPosStatus::Decode(const QByteArray& answers) {
    if (answers.size() != kAnswerBytes ||
        !std::all_of(answers.begin(), answers.end(), IsStatusByte))
        return std::nullopt;
    const char printer = answers.at(0);
    const char offlineCause = answers.at(1);
    const char paper = answers.at(2);
    EscPosStatus status;
    status.offline = Has(printer, 0x08) || Has(offlineCause, 0x40);
    status.coverOpen = Has(offlineCause, 0x04);
    status.paperEnd = Has(paper, 0x60) || Has(offlineCause, 0x20);
    status.paperNearEnd = Has(paper, 0x0C);
    return status;
}

QString EscPosStatus::FailureReason() const {
    // The cause first: an open cover or an empty roll also takes the printer offline.
    if (coverOpen)
        return kCoverOpen;
    if (paperEnd)
        return kPaperEnd;
    if (offline)
        return kOffline;
    return QString();
}
