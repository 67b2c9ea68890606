#pragma once

#include <QList>
#include <QRectF>
#include <QString>
#include <QStringList>

// The first page of a PDF as pdftotext -bbox finds it, in dots of 203 dpi: its height and the
// boxes of its words with their texts, row by row and left to right.
struct PdfPage {
    double height = 0;
    QList<QRectF> words;
    QStringList texts;

    // Whether two words stand over one another: their boxes meet within the middle half of
    // their height (the font boxes of neighbouring rows may reach into each other).
    bool hasTextOverText() const;
};

PdfPage ReadPdfPage(const QString& pdf);
