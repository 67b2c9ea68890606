#pragma once

#include "print/PrintCanvas.h"
#include "print/PrinterSource.h"
#include "print/Ticket.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

struct DrawnText {
    int page;
    QString face;
    int size;
    int x;
    int y;
    QString text;
    TextColours colours;
};

struct FilledRect {
    int page;
    QRect area;
    QColor colour;
};

// All that one document received, in drawing order.
struct RecordedDocument {
    QString printer;        // the name the engine selected
    QString path;           // as handed to PrintTicket (filled by RecordingPrinter)
    Ticket lines;           // the ticket as built (filled by RecordingPrinter)
    int pages = 0;          // 1 once begun
    int contentHeight = -1; // as the document was begun with
    bool ended = false;
    bool aborted = false;
    QList<DrawnText> texts;
    QList<FilledRect> fills;

    // The drawn texts alone, in order.
    QStringList drawnTexts() const;
};

// The device a recording canvas pretends to be.
struct CanvasSetup {
    int pageWidth = 576;
    int pageHeight = 10000;
    int dotsPerInch = 203;
    QStringList faces{QStringLiteral("Lucida Console")};
    int failAtDraw = 0; // the n-th DrawText (from 1) throws PrinterError; 0 never
    // Every n-th document kept by the source (from 1) fails at its first DrawText; 0 never.
    int failEveryNthDocument = 0;
};

// A canvas with known metrics: a text is 10 px per character at 10 points (characters ×
// size), every text of a font is twice its size high, empty or not.
class RecordingCanvas : public PrintCanvas {
public:
    RecordingCanvas(std::shared_ptr<RecordedDocument> document, CanvasSetup setup);

    void BeginDocument(int contentHeight) override;
    void SetFont(const QString& face, int pointSize) override;
    bool HasFace(const QString& face) const override;
    int TextWidth(const QString& text) const override;
    int TextHeight(const QString& text) const override;
    void DrawText(int x, int y, const QString& text, const TextColours& colours) override;
    void FillRect(const QRect& area, const QColor& colour) override;
    int PageWidth() const override { return m_setup.pageWidth; }
    int PageHeight() const override { return m_setup.pageHeight; }
    int DotsPerInch() const override { return m_setup.dotsPerInch; }
    void NewPage() override;
    void EndDocument() override;
    void Abort() noexcept override;

private:
    std::shared_ptr<RecordedDocument> m_document;
    CanvasSetup m_setup;
    QString m_face;
    int m_size = 0;
    int m_draws = 0;
};

// Installed printers by name, each document recorded on a RecordingCanvas.
class RecordingPrinterSource : public PrinterSource {
public:
    explicit RecordingPrinterSource(QStringList installed = {}, CanvasSetup setup = {});

    QStringList InstalledPrinters() override { return m_installed; }
    bool IsVirtualPrinter(const QString&) const override { return false; }
    std::unique_ptr<PrintCanvas> Select(const QString& printer) override;
    // Its failures are set per document; between documents it is always ready.
    QString Check(const QString&) override { return QString(); }

    CanvasSetup& setup() { return m_setup; }
    int documentCount() const { return m_documents.size(); }
    RecordedDocument& document(int index) { return *m_documents.at(index); }
    const RecordedDocument& document(int index) const { return *m_documents.at(index); }
    // Long runs read the documents as they come and drop them, so the record does not grow.
    void forgetDocuments() { m_documents.clear(); }

private:
    QStringList m_installed;
    CanvasSetup m_setup;
    QList<std::shared_ptr<RecordedDocument>> m_documents;
};
