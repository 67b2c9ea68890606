#include "support/RecordingCanvas.h"

#include "core/Error.h"

QStringList RecordedDocument::drawnTexts() const {
    QStringList result;
    for (const DrawnText& drawn : texts)
        result.append(drawn.text);
    return result;
}

RecordingCanvas::RecordingCanvas(std::shared_ptr<RecordedDocument> document, CanvasSetup setup)
    : m_document(std::move(document))
    , m_setup(std::move(setup)) {}

void RecordingCanvas::BeginDocument(int contentHeight) {
    m_document->pages = 1;
    m_document->contentHeight = contentHeight;
}

void RecordingCanvas::SetFont(const QString& face, int pointSize) {
    m_face = face;
    m_size = pointSize;
}

bool RecordingCanvas::HasFace(const QString& face) const {
    return m_setup.faces.contains(face);
}

int RecordingCanvas::TextWidth(const QString& text) const {
    return static_cast<int>(text.size()) * m_size;
}

int RecordingCanvas::TextHeight(const QString&) const {
    return 2 * m_size;
}

void RecordingCanvas::DrawText(int x, int y, const QString& text, const TextColours& colours) {
    if (++m_draws == m_setup.failAtDraw)
        throw PrinterError(QStringLiteral("recorded printer failure"));
    m_document->texts.append({m_document->pages, m_face, m_size, x, y, text, colours});
}

void RecordingCanvas::FillRect(const QRect& area, const QColor& colour) {
    m_document->fills.append({m_document->pages, area, colour});
}

void RecordingCanvas::NewPage() {
    ++m_document->pages;
}

void RecordingCanvas::EndDocument() {
    m_document->ended = true;
}

void RecordingCanvas::Abort() noexcept {
    m_document->aborted = true;
}

RecordingPrinterSource::RecordingPrinterSource(QStringList installed, CanvasSetup setup)
    : m_installed(std::move(installed))
    , m_setup(std::move(setup)) {}

std::unique_ptr<PrintCanvas> RecordingPrinterSource::Select(const QString& printer) {
    auto document = std::make_shared<RecordedDocument>();
    document->printer = printer;
    m_documents.append(document);
    CanvasSetup setup = m_setup;
    const int every = m_setup.failEveryNthDocument;
    if (every > 0 && m_documents.size() % every == 0)
        setup.failAtDraw = 1;
    return std::make_unique<RecordingCanvas>(document, setup);
}
