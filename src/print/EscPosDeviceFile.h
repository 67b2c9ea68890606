#pragma once

#include "print/EscPosConnection.h"

#ifdef Q_OS_WIN
#include <QFile>
#endif

// An ESC/POS printer behind a device file: the USB printer class device (/dev/usb/lp0) or a
// serial port set up beforehand. On POSIX systems the file is used without blocking, so the
// deadlines hold and the printer's status answers are read back. On Windows it is written
// only: the printer is not asked for its status there.
class EscPosDeviceFile : public EscPosConnection {
public:
    explicit EscPosDeviceFile(const EscPosAddress& address);
    ~EscPosDeviceFile() override;

    bool AnswersStatus() const override;
    void Write(const QByteArray& bytes, QDeadlineTimer deadline) override;
    QByteArray Read(int count, QDeadlineTimer deadline) override;
    void DropInput() override;

private:
    QString m_path;
#ifdef Q_OS_WIN
    QFile m_file;
#else
    // Waits until the file is ready for the events (poll(2)); false at the deadline.
    bool WaitFor(short events, QDeadlineTimer deadline) const;
    int m_fd = -1;
#endif
};
