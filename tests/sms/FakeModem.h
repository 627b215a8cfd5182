#pragma once
// A GSM modem on the far side of a pseudo-terminal: the program opens the slave device as it would
// the modem's serial port; a thread on the master side records every byte and answers the text-mode
// AT commands as a modem does, following a small script.
#include <QByteArray>
#include <QList>
#include <QSet>
#include <QString>

#include <atomic>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <chrono>
#include <thread>
#include <unistd.h>

class FakeModem {
public:
    // What the modem does with a number.
    QSet<QString> refuseNumber;    // "ERROR" instead of the "> " prompt
    QSet<QString> failDelivery;    // "+CMS ERROR: 500" after the text
    bool silent = false;           // answers nothing at all
    bool echo = false;             // echoes what it receives, as modems do by default (ATE1)
    int deliveryMs = 0;            // how long the network takes a message

    FakeModem() {
        char name[256] = {};
        if (openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0) return;
        m_path = QString::fromLocal8Bit(name);
        termios raw{};
        tcgetattr(m_slave, &raw);
        cfmakeraw(&raw);
        tcsetattr(m_slave, TCSANOW, &raw);
        m_thread = std::thread([this] { loop(); });
    }
    ~FakeModem() {
        m_stop = true;
        if (m_thread.joinable()) m_thread.join();
        if (m_master >= 0) ::close(m_master);
        if (m_slave >= 0) ::close(m_slave);
    }

    bool isOpen() const { return !m_path.isEmpty(); }
    QString device() const { return m_path; }

    QByteArray received() const {
        std::lock_guard lock(m_mutex);
        return m_received;
    }
    // The numbers of the messages the modem took, in order.
    QStringList delivered() const {
        std::lock_guard lock(m_mutex);
        return m_delivered;
    }

private:
    void loop() {
        while (!m_stop) {
            pollfd p{m_master, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0 || !(p.revents & POLLIN)) continue;
            char buf[512];
            const ssize_t n = ::read(m_master, buf, sizeof buf);
            if (n <= 0) continue;
            {
                std::lock_guard lock(m_mutex);
                m_received.append(buf, n);
            }
            if (echo && !silent) answer(QByteArray(buf, n));
            for (ssize_t i = 0; i < n; ++i) take(buf[i]);
        }
    }

    void take(char c) {
        if (m_inText) {
            if (c == 26) {
                m_inText = false;
                if (deliveryMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(deliveryMs));
                if (failDelivery.contains(m_number)) {
                    answer("\r\n+CMS ERROR: 500\r\n");
                } else {
                    {
                        std::lock_guard lock(m_mutex);
                        m_delivered.append(m_number);
                    }
                    answer("\r\n+CMGS: " + QByteArray::number(++m_reference) + "\r\n\r\nOK\r\n");
                }
            }
            return;
        }
        if (c != '\r') {
            m_line.append(c);
            return;
        }
        const QByteArray command = m_line.trimmed();
        m_line.clear();
        if (command == "AT+CMGF=1") {
            answer("\r\nOK\r\n");
        } else if (command.startsWith("AT+CMGS=\"") && command.endsWith('"')) {
            m_number = QString::fromLatin1(command.mid(9, command.size() - 10));
            if (refuseNumber.contains(m_number)) {
                answer("\r\nERROR\r\n");
            } else {
                m_inText = true;
                answer("\r\n> ");
            }
        } else {
            answer("\r\nERROR\r\n");
        }
    }

    void answer(const QByteArray& bytes) {
        if (silent) return;
        ssize_t written = 0;
        while (written < bytes.size()) {
            const ssize_t n = ::write(m_master, bytes.constData() + written, size_t(bytes.size() - written));
            if (n <= 0) return;
            written += n;
        }
    }

    int m_master = -1;
    int m_slave = -1;
    QString m_path;
    std::thread m_thread;
    std::atomic_bool m_stop{false};
    mutable std::mutex m_mutex;
    QByteArray m_received;
    QStringList m_delivered;
    // Touched by the modem's thread only.
    QByteArray m_line;
    bool m_inText = false;
    QString m_number;
    int m_reference = 0;
};
