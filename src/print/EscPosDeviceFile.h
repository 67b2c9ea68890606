#pragma once

#include "print/EscPosConnection.h"

// An ESC/POS printer behind a device file: the USB printer class device (/dev/usb/lp0) or a
// serial port. A serial port is set up here, whatever it was left with: raw bytes both ways,
// at the address's speed when it gives one. On POSIX systems the file is used without
// blocking, so the deadlines hold and the printer's status answers are read back. On Windows
// it is written only, as \\.\COMn for a port: the printer is not asked for its status there.
class EscPosDeviceFile : public EscPosConnection {
public:
    EscPosDeviceFile(const EscPosAddress& address, int idleMilliseconds);
    ~EscPosDeviceFile() override;

    bool AnswersStatus() const override;
    void Write(const QByteArray& bytes, int idleMilliseconds) override;
    QByteArray Read(int count, QDeadlineTimer deadline) override;
    void DropInput() override;

private:
#ifdef Q_OS_WIN
    void* m_handle = nullptr;
#else
    // Raw mode on a terminal: no line editing, echo or CR/LF translation. Flow control stays
    // as the port has it, since it belongs to the printer's cable and setting.
    void MakeRaw(int baud);
    // Waits until the file is ready for the events (poll(2)); false at the deadline.
    bool WaitFor(short events, QDeadlineTimer deadline) const;
    int m_fd = -1;
#endif
};
