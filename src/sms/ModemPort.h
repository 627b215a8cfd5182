#pragma once
#include <QString>

namespace sms {

// The serial port the GSM modem is attached to, used through integer handles as the rest of the
// program knows it: open, write, close, each answering with a result code.
//
// A handle belongs to the thread that opened it; the sender opens, uses and closes it on one
// thread for every message.

inline constexpr int InvalidPort = -1;

// Which device a port number stands for on this workstation (settings section "SMS", value
// "Port<n>"). Without a stored value port n is /dev/ttyUSB<n-1>, the device a USB GSM modem gets.
QString DefaultDevicePath(int port);
QString DevicePath(int port);
void SetDevicePath(int port, const QString& device);

// Opens the device of the port number for reading and writing with the given baud rate and parity
// ("n" none, "e" even, "o" odd, "m" mark, "s" space), 8 data bits, 1 stop bit, no flow control, DTR
// on. Returns the handle, or InvalidPort; LastPortError() then says why.
int OpenPort(int port, int baudRate, QChar parity);
// The same for a device path.
int OpenDevice(const QString& device, int baudRate, QChar parity);
QString LastPortError();

// Writes `count` bytes and waits until they have left. 0 when all were written; -1 when count is
// 0 (nothing is written); -2 when the write failed (the port's error state is cleared); -3 when
// fewer bytes than the count went out.
int WritePort(int handle, const char* bytes, int count);

// What the device has sent: waits up to `msecs` for the first bytes and returns what arrived
// (empty after the time-out or on an unknown handle).
QByteArray ReadPort(int handle, int msecs);

// Closes the port; 0 always.
int ClosePort(int handle);

}  // namespace sms
