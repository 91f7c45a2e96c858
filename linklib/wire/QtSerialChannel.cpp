#include "QtSerialChannel.h"

#include <QCoreApplication>

namespace sernox::wire {

namespace {
constexpr int kWriteTimeoutMs = 2000;

// A host without Qt of its own (the command-line tool) has no application object, and the
// port's notifiers complain on every open without one. It lives until the process ends.
void EnsureApplication()
{
    if (QCoreApplication::instance() != nullptr)
        return;
    static int argc = 1;
    static char name[] = "SerNoxDL";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* application = new QCoreApplication(argc, argv);
    (void)application;
}
} // namespace

QtSerialChannel::QtSerialChannel(const QString& portName, int baud)
    : name_(portName)
    , baud_(baud)
{
}

bool QtSerialChannel::Open()
{
    EnsureApplication();
    port_.setPortName(name_);
    if (!port_.open(QIODevice::ReadWrite))
        return false;
    // A pseudo-terminal takes any rate; a real port must be told.
    port_.setBaudRate(baud_);
    port_.setDataBits(QSerialPort::Data8);
    port_.setParity(QSerialPort::NoParity);
    port_.setStopBits(QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    port_.clear();
    return true;
}

void QtSerialChannel::Close()
{
    if (port_.isOpen())
        port_.close();
}

bool QtSerialChannel::Write(const uint8_t* data, size_t size)
{
    if (!port_.isOpen())
        return false;
    if (port_.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size)) != static_cast<qint64>(size))
        return false;
    while (port_.bytesToWrite() > 0) {
        if (!port_.waitForBytesWritten(kWriteTimeoutMs))
            return false;
    }
    return true;
}

int QtSerialChannel::Read(uint8_t* buffer, size_t capacity, int timeoutMs)
{
    if (!port_.isOpen())
        return -1;
    if (port_.bytesAvailable() == 0 && !port_.waitForReadyRead(timeoutMs)) {
        if (port_.error() != QSerialPort::TimeoutError && port_.error() != QSerialPort::NoError)
            return -1;
        port_.clearError();
        return 0;
    }
    const qint64 n = port_.read(reinterpret_cast<char*>(buffer), static_cast<qint64>(capacity));
    return n < 0 ? -1 : static_cast<int>(n);
}

} // namespace sernox::wire
