#pragma once

#include <QString>

// PNG images of the preview's PDF files at the receipt printers' 203 dots per inch, drawn by
// pdftoppm (poppler-utils).
namespace PngExport {

// pdftoppm's path, or the empty text when it is not installed.
QString FindRenderer();

// Writes the PNG beside the PDF, with the same name. Throws Error when pdftoppm fails.
QString RenderPng(const QString& renderer, const QString& pdfPath);

} // namespace PngExport
