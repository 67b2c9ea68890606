#include "print/MeasuringCanvas.h"

#include <limits>

MeasuringCanvas::MeasuringCanvas(PrintCanvas& device)
    : m_device(device) {}

void MeasuringCanvas::SetFont(const QString& face, int pointSize) {
    m_device.SetFont(face, pointSize);
}

bool MeasuringCanvas::HasFace(const QString& face) const {
    return m_device.HasFace(face);
}

int MeasuringCanvas::TextWidth(const QString& text) const {
    return m_device.TextWidth(text);
}

int MeasuringCanvas::TextHeight(const QString& text) const {
    return m_device.TextHeight(text);
}

int MeasuringCanvas::PageWidth() const {
    return m_device.PageWidth();
}

int MeasuringCanvas::PageHeight() const {
    return std::numeric_limits<int>::max();
}

int MeasuringCanvas::DotsPerInch() const {
    return m_device.DotsPerInch();
}
