#pragma once

#include "print/TicketOptions.h"

#include <QColor>
#include <QRect>
#include <QString>

// One document on one printer, in the printer's device pixels: what the ticket renderer
// needs of a printer and nothing more. Fonts, measures, the page width and the resolution work
// before the document begins, so that a ticket can be measured first. Failures throw
// PrinterError.

// A text's letters on its cell.
struct TextColours {
    QColor ink = Qt::black;
    QColor paper = Qt::white;
};

class PrintCanvas {
public:
    virtual ~PrintCanvas() = default;

    // Starts the document, without a title, on pages as long as the content's height in dots
    // where the device offers such pages, and on its own page otherwise.
    virtual void BeginDocument(int contentHeight) = 0;
    virtual void SetFont(const QString& face, int pointSize) = 0;
    // Whether the face is installed; a missing face is replaced silently by a substitute.
    virtual bool HasFace(const QString& face) const = 0;
    // Advance width and cell height (ascent plus descent) in the current font. An empty text
    // has the full cell height.
    virtual int TextWidth(const QString& text) const = 0;
    virtual int TextHeight(const QString& text) const = 0;
    // Top-left corner at (x, y), on an opaque cell of the paper colour.
    virtual void DrawText(int x, int y, const QString& text, const TextColours& colours) = 0;
    virtual void FillRect(const QRect& area, const QColor& colour) = 0;
    // The printable area and the resolution of the device; the height is the begun page's.
    virtual int PageWidth() const = 0;
    virtual int PageHeight() const = 0;
    virtual int DotsPerInch() const = 0;
    virtual void NewPage() = 0;
    // Sends the document to the spooler (or the file).
    virtual void EndDocument() = 0;
    // Drops the document after a failure, so that the next job starts clean.
    virtual void Abort() noexcept = 0;

    // What the printer's options ask of every ticket, as this device can print it.
    virtual TicketOptions Options() const { return {}; }
    // Whether the printer itself said it took the ended document, so the next one need not
    // wait for a spooler.
    virtual bool ConfirmsPrinting() const { return false; }
    // What the printer warned of with a document it printed (paper running low), or empty.
    virtual QString Warning() const { return QString(); }
    // Why the printer, having taken every byte of the ended document, would not take the next
    // one (it answered "paper end" after the cut), or empty. The document is printed all the
    // same.
    virtual QString FaultAfterDocument() const { return QString(); }
};
