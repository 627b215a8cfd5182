#include "sms/ModemPort.h"

#include "app/Settings.h"

#include <QHash>
#include <QMutex>
#include <QSerialPort>

#include <memory>

namespace sms {

namespace {

QMutex g_portsLock;
QHash<int, QSerialPort*> g_ports;  // owned; a port is deleted by ClosePort
int g_nextHandle = 1;
thread_local QString t_lastError;

// Writes are small (a command or one message); a modem that takes longer than this for them is
// not taking them at all.
constexpr int WriteTimeoutMs = 5000;

QSerialPort* port(int handle) {
    QMutexLocker lock(&g_portsLock);
    return g_ports.value(handle, nullptr);
}

QSerialPort::Parity parityOf(QChar c) {
    switch (c.toLower().unicode()) {
    case 'e': return QSerialPort::EvenParity;
    case 'o': return QSerialPort::OddParity;
    case 'm': return QSerialPort::MarkParity;
    case 's': return QSerialPort::SpaceParity;
    default: return QSerialPort::NoParity;
    }
}

}  // namespace

QString DefaultDevicePath(int port) {
    return QStringLiteral("/dev/ttyUSB%1").arg(port - 1);
}

QString DevicePath(int port) {
    const QString stored =
        app::Settings::string(QStringLiteral("SMS"), QStringLiteral("Port%1").arg(port)).trimmed();
    return stored.isEmpty() ? DefaultDevicePath(port) : stored;
}

void SetDevicePath(int port, const QString& device) {
    const QString name = QStringLiteral("Port%1").arg(port);
    if (device.trimmed().isEmpty() || device.trimmed() == DefaultDevicePath(port))
        app::Settings::remove(QStringLiteral("SMS"), name);
    else
        app::Settings::setString(QStringLiteral("SMS"), name, device.trimmed());
    app::Settings::sync();
}

int OpenPort(int port, int baudRate, QChar parity) {
    if (port <= 0) {
        t_lastError = QStringLiteral("ports %1 nav derīgs").arg(port);
        return InvalidPort;
    }
    return OpenDevice(DevicePath(port), baudRate, parity);
}

int OpenDevice(const QString& device, int baudRate, QChar parity) {
    auto serial = std::make_unique<QSerialPort>();
    serial->setPortName(device);
    if (!serial->open(QIODevice::ReadWrite)) {
        t_lastError = serial->errorString();
        return InvalidPort;
    }
    if (!serial->setBaudRate(baudRate) || !serial->setDataBits(QSerialPort::Data8) ||
        !serial->setParity(parityOf(parity)) || !serial->setStopBits(QSerialPort::OneStop) ||
        !serial->setFlowControl(QSerialPort::NoFlowControl)) {
        t_lastError = serial->errorString();
        serial->close();
        return InvalidPort;
    }
    // Modem control lines: a pseudo-terminal or a bare UART without them refuses, which is no
    // reason not to talk to the modem.
    serial->setDataTerminalReady(true);
    serial->clearError();
    // Whatever the device said before we opened it answers nothing of ours.
    serial->clear(QSerialPort::Input);
    QMutexLocker lock(&g_portsLock);
    const int handle = g_nextHandle++;
    g_ports.insert(handle, serial.release());
    t_lastError.clear();
    return handle;
}

QString LastPortError() {
    return t_lastError;
}

int WritePort(int handle, const char* bytes, int count) {
    if (count <= 0) return -1;
    QSerialPort* serial = port(handle);
    if (!serial) return -2;
    const qint64 queued = serial->write(bytes, count);
    if (queued < 0) {
        serial->clearError();
        return -2;
    }
    while (serial->bytesToWrite() > 0) {
        if (!serial->waitForBytesWritten(WriteTimeoutMs)) break;
    }
    if (serial->error() != QSerialPort::NoError && serial->error() != QSerialPort::TimeoutError) {
        serial->clearError();
        return -2;
    }
    serial->clearError();
    if (queued < count || serial->bytesToWrite() > 0) return -3;
    return 0;
}

QByteArray ReadPort(int handle, int msecs) {
    QSerialPort* serial = port(handle);
    if (!serial) return {};
    if (serial->bytesAvailable() == 0 && !serial->waitForReadyRead(msecs)) {
        serial->clearError();
        return {};
    }
    return serial->readAll();
}

int ClosePort(int handle) {
    QSerialPort* serial = nullptr;
    {
        QMutexLocker lock(&g_portsLock);
        serial = g_ports.take(handle);
    }
    if (serial) {
        serial->close();
        delete serial;
    }
    return 0;
}

}  // namespace sms
