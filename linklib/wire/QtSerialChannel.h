#pragma once
// A serial port as the client's channel. The program calls the link
// synchronously from its one thread, so the port is used with blocking waits
// and never needs the event loop.

#include "Channel.h"

#include <QSerialPort>
#include <QString>

namespace sernox::wire {

class QtSerialChannel final : public Channel {
public:
    QtSerialChannel(const QString& portName, int baud);

    bool Open() override;
    void Close() override;
    bool IsOpen() const override { return port_.isOpen(); }
    bool Write(const uint8_t* data, size_t size) override;
    int Read(uint8_t* buffer, size_t capacity, int timeoutMs) override;

private:
    QSerialPort port_;
    QString name_;
    int baud_;
};

} // namespace sernox::wire
