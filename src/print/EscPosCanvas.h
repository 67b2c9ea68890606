#pragma once

#include "print/EscPosAddress.h"
#include "print/EscPosConnection.h"
#include "print/RasterCanvas.h"

#include <memory>

// A document on an ESC/POS receipt printer, with no driver or spooler between: the printer is
// asked for its status before anything is drawn, the ticket is drawn as a picture and sent as
// raster, and the printer is asked again after it, so the ticket counts as printed only once
// the printer has taken it.
class EscPosCanvas : public RasterCanvas {
public:
    EscPosCanvas(EscPosAddress address, EscPosTimeouts timeouts);
    ~EscPosCanvas() override;

    void BeginDocument(int contentHeight) override;
    void EndDocument() override;
    void Abort() noexcept override;
    bool ConfirmsPrinting() const override { return true; }
    QString Warning() const override { return m_warning; }

private:
    // Throws PrinterError with the reason when the printer cannot print now.
    void RequireReady(QDeadlineTimer deadline);

    EscPosAddress m_address;
    EscPosTimeouts m_timeouts;
    std::unique_ptr<EscPosConnection> m_connection;
    QString m_warning;
};
