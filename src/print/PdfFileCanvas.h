#pragma once

#include "print/PainterCanvas.h"

#include <QPdfWriter>
#include <QSaveFile>
#include <QString>
#include <memory>

// A virtual receipt printer: each document becomes one PDF file in a directory, named by
// date, time and a sequence number so the files sort in print order. The file appears only
// when complete, and only when every byte of it reached the disk. The paper is a roll: each
// document's page is as long as its content, up to the longest page a PDF reader shows. Its
// page is in colour: red stands out in red.
class PdfFileCanvas : public PainterCanvas {
public:
    static constexpr int kDotsPerInch = 203;
    static constexpr double kPaperWidthMm = 80;
    static constexpr double kPrintableWidthMm = 72;
    static constexpr int kLongestPagePoints = 14400;

    // What the folder check writes: about as much as a long ticket, so that a disk too full
    // for one fails the check.
    static constexpr int kCheckBytes = 64 * 1024;

    explicit PdfFileCanvas(QString directory, const TicketOptions& options = {});
    ~PdfFileCanvas() override;

    // Throws PrinterError when a ticket could not be written into the directory now.
    static void CheckDirectory(const QString& directory);

    void BeginDocument(int contentHeight) override;
    void NewPage() override;
    void EndDocument() override;
    void Abort() noexcept override;
    // The file is complete when the document ends: no spooler to wait for.
    bool ConfirmsPrinting() const override { return true; }

protected:
    const QPaintDevice& device() const override { return *m_writer; }

private:
    QString NextFileName() const;
    void SetPageLength(int points);

    QString m_directory;
    QSaveFile m_file;
    std::unique_ptr<QPdfWriter> m_writer;
};
