#pragma once
#include <QString>
#include <stdexcept>

namespace reports {

// A layout that cannot be read or a report that cannot be written. The message is the user's
// (Latvian) and names the file or layout concerned.
class ReportError : public std::runtime_error {
public:
    explicit ReportError(const QString& message) : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

}  // namespace reports
