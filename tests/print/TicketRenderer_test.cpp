#include "core/RegionalSettings.h"
#include "print/Code39.h"
#include "print/PrintEngine.h"
#include "support/RecordingCanvas.h"
#include "support/TicketLines.h"

#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <tuple>

// Recording metrics: a character is `size` px wide, every text 2 × size high. The base font
// is 10 points (10 px per character, 20 px high), headings 14 (28 px), barcodes 40 (80 px).
namespace {

const QString kBase = QStringLiteral("Lucida Console");
const QString kBarcode = QStringLiteral("Libre Barcode 39");

class TicketRendererTest : public ::testing::Test {
protected:
    const RecordedDocument& Print(const Ticket& ticket) {
        PrintEngine engine(m_billNumber, settings, m_log, m_printers, [](int) {});
        engine.setClock([] { return QDateTime(QDate(2026, 12, 8), QTime(14, 3, 27)); });
        engine.PrintTicket(QStringLiteral("Kasa"), ticket);
        return m_printers.document(m_printers.documentCount() - 1);
    }

    PrintSettings settings;
    CanvasSetup& canvas() { return m_printers.setup(); }

private:
    QTemporaryDir m_dir;
    QString m_billNumber;
    DiagnosticLog m_log{m_dir.filePath(QStringLiteral("test.log"))};
    RecordingPrinterSource m_printers{{QStringLiteral("Kasa")}};
};

// Page, x, y and size of a drawn text.
using Placement = std::tuple<int, int, int, int>;

Placement At(const DrawnText& drawn) {
    return {drawn.page, drawn.x, drawn.y, drawn.size};
}

TEST_F(TicketRendererTest, HeadingIsCentredWithSolAndSagAndRestoresTheBaseSize) {
    settings.left = 7;
    settings.right = 31;
    settings.top = 5;
    const auto& doc = Print({QStringLiteral("#-ABC"), QStringLiteral("x")});

    ASSERT_EQ(doc.texts.size(), 2);
    EXPECT_EQ(doc.texts[0].text, QStringLiteral("ABC"));
    EXPECT_EQ(doc.texts[0].face, kBase);
    // (576 - 42 - 31) / 2 + 7 = 251 + 7
    EXPECT_EQ(At(doc.texts[0]), (Placement(1, 258, 5, 14)));
    EXPECT_EQ(At(doc.texts[1]), (Placement(1, 0, 5 + 28, 10)));
}

TEST_F(TicketRendererTest, OrdinaryLinesStartAtTheLeftEdgeWholeAndShortOnesAreOrdinary) {
    settings.left = 7;
    settings.top = 50;
    const auto& doc =
        Print({QStringLiteral("#"), QStringLiteral("="), QStringLiteral("2   Çay"), QString()});

    EXPECT_EQ(doc.drawnTexts(), QStringList({QStringLiteral("#"), QStringLiteral("="),
                                             QStringLiteral("2   Çay"), QString()}));
    EXPECT_EQ(At(doc.texts[0]), (Placement(1, 0, 50, 10)));
    EXPECT_EQ(At(doc.texts[1]), (Placement(1, 0, 70, 10)));
    EXPECT_EQ(At(doc.texts[2]), (Placement(1, 0, 90, 10)));
    // An empty line is a full blank line.
    EXPECT_EQ(At(doc.texts[3]), (Placement(1, 0, 110, 10)));
}

TEST_F(TicketRendererTest, SeparatorDrawsNPlusOneDashesFromTheLeftAndIgnoresItsText) {
    settings.left = 7;
    settings.right = 31;
    const auto& doc = Print({QStringLiteral("=-ignored text"), QStringLiteral("x")});

    // n = (576 - 31) / 10 = 54: dashes at 0, 10, ..., 540.
    ASSERT_EQ(doc.texts.size(), 56);
    for (int i = 0; i <= 54; ++i) {
        EXPECT_EQ(doc.texts[i].text, QStringLiteral("-"));
        EXPECT_EQ(At(doc.texts[i]), (Placement(1, 10 * i, 0, 10)));
    }
    EXPECT_EQ(At(doc.texts[55]), (Placement(1, 0, 20, 10)));
}

TEST_F(TicketRendererTest, SagWiderThanThePageDropsDashesAndPushesTextsLeft) {
    settings.right = 601; // W - Sag = -25: n = -2
    const auto& doc = Print({QStringLiteral("=-"), QStringLiteral("#-ABC"), QStringLiteral(">-12"),
                             QStringLiteral("x")});

    ASSERT_EQ(doc.drawnTexts(),
              QStringList({QStringLiteral("ABC"), QStringLiteral("12"), QStringLiteral("x")}));
    // The rule still takes its row; (576 - 42 - 601) / 2 truncates toward zero to -33.
    EXPECT_EQ(At(doc.texts[0]), (Placement(1, -33, 20, 14)));
    EXPECT_EQ(At(doc.texts[1]), (Placement(1, 576 - 20 - 601, 48 - 20, 10)));
    EXPECT_EQ(At(doc.texts[2]), (Placement(1, 0, 48, 10)));
}

TEST_F(TicketRendererTest, SeparatorCountTruncatesTowardZero) {
    settings.right = 580; // (576 - 580) / 10 is 0, not -1: one dash
    const auto& doc = Print({QStringLiteral("=-")});
    ASSERT_EQ(doc.texts.size(), 1);
    EXPECT_EQ(At(doc.texts[0]), (Placement(1, 0, 0, 10)));
}

TEST_F(TicketRendererTest, SeparatorInAFontWithoutWidthDrawsNothingInsteadOfDividingByZero) {
    settings.fontSize = 0;
    const auto& doc = Print({QStringLiteral("=-"), QStringLiteral("x")});
    EXPECT_EQ(doc.drawnTexts(), QStringList({QStringLiteral("x")}));
    EXPECT_TRUE(doc.ended);
}

TEST_F(TicketRendererTest, RightPartLandsOnTheRowOfTheLineBefore) {
    settings.right = 31;
    settings.left = 7;
    const auto& doc =
        Print({QStringLiteral("2   Çay"), QStringLiteral(">-12,5"), QStringLiteral("#-TOPLAM"),
               QStringLiteral(">-99"), QStringLiteral("x")});

    ASSERT_EQ(doc.texts.size(), 5);
    EXPECT_EQ(doc.texts[1].text, QStringLiteral("12,5"));
    EXPECT_EQ(At(doc.texts[1]), (Placement(1, 576 - 40 - 31, 0, 10)));
    // After a heading it sits one base height above the heading's bottom edge.
    EXPECT_EQ(doc.texts[2].y, 20);
    EXPECT_EQ(At(doc.texts[3]), (Placement(1, 576 - 20 - 31, 20 + 28 - 20, 10)));
    EXPECT_EQ(At(doc.texts[4]), (Placement(1, 0, 48, 10)));
}

QList<Placement> AllPlaced(const RecordedDocument& doc) {
    QList<Placement> placed;
    for (const DrawnText& drawn : doc.texts)
        placed << At(drawn);
    return placed;
}

TEST_F(TicketRendererTest, RightPartThatWouldTouchTextOnTheRowBeforeTakesARowOfItsOwn) {
    const auto& doc = Print(Lines("1   Özel karışık ızgara tabağı büyük boy ve ekstra|>-1234,5 TL|"
                                  "#-Ads. No: 302 Masa 5|>-08.12.2026 14:03|#-No: 302|>-14:03|x"));

    // The name ends at 500, the amount would begin at 486; the heading ends at 421, the date
    // would begin at 416. The short heading keeps the time on its row.
    EXPECT_EQ(AllPlaced(doc), (QList<Placement>{{1, 0, 0, 10},
                                                {1, 486, 20, 10},
                                                {1, 155, 40, 14},
                                                {1, 416, 68, 10},
                                                {1, 239, 88, 14},
                                                {1, 526, 116 - 20, 10},
                                                {1, 0, 116, 10}}));
}

TEST_F(TicketRendererTest, TextWiderThanItsRoomContinuesOnTheNextRowAfterABlankWhereOneFits) {
    settings.right = 36;
    const QString name =
        QStringLiteral("1   Karışık ızgara tabağı büyük boy, acılı ve ekstra lavaşlı");
    const QString heading = QStringLiteral("Paket Satış - P1 - Elif Kaya - Servis 12");
    const QString ettn =
        QStringLiteral("2096a59f-9e56-5ab3-ba47-8f1b9662ecbd2096a59f-9e56-5ab3-ba47");
    const auto& doc =
        Print({name, QStringLiteral(">-1234,5 TL"), QStringLiteral("#-") + heading, ettn});

    // 57 characters fit the page; 38 of the heading's fit the 540 dots left of Sag.
    EXPECT_EQ(doc.drawnTexts(),
              QStringList({name.left(53), QStringLiteral("lavaşlı"), QStringLiteral("1234,5 TL"),
                           heading.left(38), QStringLiteral("12"), ettn.left(57), ettn.mid(57)}));
    EXPECT_EQ(AllPlaced(doc), (QList<Placement>{{1, 0, 0, 10},
                                                {1, 0, 20, 10},
                                                {1, 450, 20, 10},
                                                {1, (540 - 532) / 2, 40, 14},
                                                {1, (540 - 28) / 2, 68, 14},
                                                {1, 0, 96, 10},
                                                {1, 0, 116, 10}}));
}

TEST_F(TicketRendererTest, RightPartAsTheFirstLineIsDrawnAboveTheTop) {
    const auto& atTop = Print({QStringLiteral(">-5"), QStringLiteral("x")});
    EXPECT_EQ(At(atTop.texts[0]), (Placement(1, 566, -20, 10)));
    EXPECT_EQ(At(atTop.texts[1]), (Placement(1, 0, 0, 10)));

    settings.top = 50;
    const auto& withMargin = Print({QStringLiteral(">-5")});
    EXPECT_EQ(At(withMargin.texts[0]), (Placement(1, 566, 30, 10)));
}

TEST_F(TicketRendererTest, OnlyTheFirstTwoCharactersAreMarkup) {
    const auto& doc = Print({QStringLiteral("#->-250"), QStringLiteral("#-"), QStringLiteral(">-"),
                             QStringLiteral("x")});

    ASSERT_EQ(doc.texts.size(), 4);
    EXPECT_EQ(doc.texts[0].text, QStringLiteral(">-250"));
    EXPECT_EQ(At(doc.texts[0]), (Placement(1, (576 - 70) / 2, 0, 14)));
    // "#-" alone: an empty heading, a full 14-point row.
    EXPECT_EQ(doc.texts[1].text, QString());
    EXPECT_EQ(At(doc.texts[1]), (Placement(1, 288, 28, 14)));
    // ">-" alone: an empty right part on the row before, no net movement.
    EXPECT_EQ(At(doc.texts[2]), (Placement(1, 576, 56 - 20, 10)));
    EXPECT_EQ(At(doc.texts[3]), (Placement(1, 0, 56, 10)));
}

TEST_F(TicketRendererTest, PrefixIsTakenBeforeThePlaceholdersAreReplaced) {
    const RegionalSettings saved = RegionalSettings::current();
    RegionalSettings regional = saved;
    regional.shortDateFormat = QStringLiteral("'=-'dd.MM.yyyy"); // a date that looks like a rule
    RegionalSettings::setCurrent(regional);
    const auto& doc = Print({QStringLiteral("#TARIH#"), QStringLiteral("#-#TARIH#")});
    RegionalSettings::setCurrent(saved);

    ASSERT_EQ(doc.texts.size(), 2);
    EXPECT_EQ(doc.texts[0].text, QStringLiteral("=-08.12.2026"));
    EXPECT_EQ(At(doc.texts[0]), (Placement(1, 0, 0, 10)));
    // The heading's text is the replaced line from its third character on.
    EXPECT_EQ(doc.texts[1].text, QStringLiteral("=-08.12.2026"));
    EXPECT_EQ(doc.texts[1].size, 14);
}

TEST_F(TicketRendererTest, PageBreaksWhenTheCursorPassesTheBottomAndLaterPagesStartAtZero) {
    canvas().pageHeight = 100;
    settings.top = 50;
    const auto& doc = Print({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"),
                             QStringLiteral(">-R"), QStringLiteral("D")});

    ASSERT_EQ(doc.texts.size(), 5);
    EXPECT_EQ(At(doc.texts[0]), (Placement(1, 0, 50, 10)));
    EXPECT_EQ(At(doc.texts[1]), (Placement(1, 0, 70, 10)));
    // C ends at 110 > 100, cut at the bottom edge; the break follows it.
    EXPECT_EQ(At(doc.texts[2]), (Placement(1, 0, 90, 10)));
    // A right part first on a new page is lost above its top.
    EXPECT_EQ(At(doc.texts[3]), (Placement(2, 566, -20, 10)));
    EXPECT_EQ(At(doc.texts[4]), (Placement(2, 0, 0, 10)));
    EXPECT_EQ(doc.pages, 2);
    // Measured on a page without end, from the top margin on.
    EXPECT_EQ(doc.contentHeight, 50 + 4 * 20);
}

TEST_F(TicketRendererTest, CursorOnTheBottomEdgeIsNoBreakButPastTheLastLineLeavesAnEmptyPage) {
    canvas().pageHeight = 100;
    settings.top = 60;
    EXPECT_EQ(Print({QStringLiteral("A"), QStringLiteral("B")}).pages, 1); // ends at 100

    const auto& doc = Print({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
    EXPECT_EQ(doc.pages, 2);
    EXPECT_EQ(doc.texts.last().page, 1);
    EXPECT_TRUE(doc.ended);
}

class BarcodeTest : public TicketRendererTest {
protected:
    // The narrow bar at 203 dpi is 2 dots.
    static constexpr int kModule = 2;
};

TEST_F(BarcodeTest, WithoutTheFontTheSymbolIsDrawnCentredAndAsHighAsTheFontsCell) {
    settings.left = 7;
    settings.right = 31;
    settings.top = 10;
    const auto& doc = Print({QStringLiteral("@B0000000003025"), QStringLiteral("x")});

    const Code39Symbol symbol(QStringLiteral("0000000003025"));
    const int width = symbol.widthInModules() * kModule;
    const int x = (576 - width - 31) / 2 + 7;
    ASSERT_EQ(doc.fills.size(), 1 + symbol.bars().size());
    EXPECT_EQ(doc.fills[0].area, QRect(x, 10, width, 80));
    EXPECT_EQ(doc.fills[0].colour, QColor(Qt::white));
    for (int i = 0; i < symbol.bars().size(); ++i) {
        const Code39Symbol::Bar bar = symbol.bars().at(i);
        EXPECT_EQ(doc.fills[i + 1].area,
                  QRect(x + bar.start * kModule, 10, bar.width * kModule, 80));
        EXPECT_EQ(doc.fills[i + 1].colour, QColor(Qt::black));
    }
    // No digits printed in a substitute face, and the base font is back.
    ASSERT_EQ(doc.texts.size(), 1);
    EXPECT_EQ(doc.texts[0].face, kBase);
    EXPECT_EQ(At(doc.texts[0]), (Placement(1, 0, 90, 10)));
}

TEST_F(BarcodeTest, WithTheFontTheTextBetweenStarsIsDrawnInIt) {
    canvas().faces.append(kBarcode);
    const auto& doc = Print({QStringLiteral("@B3025"), QStringLiteral("x")});

    ASSERT_EQ(doc.texts.size(), 2);
    EXPECT_TRUE(doc.fills.isEmpty());
    EXPECT_EQ(doc.texts[0].text, QStringLiteral("*3025*"));
    EXPECT_EQ(doc.texts[0].face, kBarcode);
    EXPECT_EQ(At(doc.texts[0]), (Placement(1, (576 - 240) / 2, 0, 40)));
    EXPECT_EQ(doc.texts[1].face, kBase);
    EXPECT_EQ(At(doc.texts[1]), (Placement(1, 0, 80, 10)));
}

TEST_F(BarcodeTest, BarcodeAloneIsTheStartAndStopCharacters) {
    const auto& doc = Print({QStringLiteral("@B")});
    // Two characters of five bars each, quiet zones of ten modules on both sides.
    ASSERT_EQ(doc.fills.size(), 1 + 10);
    EXPECT_EQ(doc.fills[0].area.width(), (10 + 2 * 16 - 1 + 10) * kModule);
    EXPECT_EQ(doc.fills[1].area.left() - doc.fills[0].area.left(), 10 * kModule);
}

TEST(Code39SymbolTest, CharactersWithoutASymbolAreLeftOut) {
    const Code39Symbol symbol(QStringLiteral("1a*Ç 2-Z"));
    EXPECT_EQ(symbol.encodedText(), QStringLiteral("*1 2-Z*"));
    EXPECT_EQ(symbol.bars().size(), 7 * 5);
    EXPECT_EQ(symbol.widthInModules(), 10 + 7 * 16 - 1 + 10);
}

TEST(Code39SymbolTest, EveryCharacterHasItsOwnPatternOfThreeWideElementsInNine) {
    const QString all = QStringLiteral("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%");
    QSet<QString> patterns;
    for (const QChar character : all) {
        const Code39Symbol symbol{QString(character)};
        ASSERT_EQ(symbol.bars().size(), 15);
        // The character between start and stop begins at module 10 + 16; nine elements with
        // three wide ones span 6 + 3 * 3 modules.
        const QList<Code39Symbol::Bar> bars = symbol.bars().mid(5, 5);
        EXPECT_EQ(bars.first().start, 26) << character.toLatin1();
        EXPECT_EQ(bars.last().start + bars.last().width, 26 + 15) << character.toLatin1();
        QString pattern;
        for (const Code39Symbol::Bar& bar : bars)
            pattern += QStringLiteral("%1/%2 ").arg(bar.start).arg(bar.width);
        patterns.insert(pattern);
    }
    EXPECT_EQ(patterns.size(), all.size());
}

} // namespace
