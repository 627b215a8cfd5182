#pragma once
#include <QString>
#include <stdexcept>

namespace archive {

// A step of making, checking or restoring an archive failed; the text says which and why, in
// the user's words.
class ArchiveError : public std::runtime_error {
public:
    explicit ArchiveError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    QString message() const { return m_message; }

private:
    QString m_message;
};

}  // namespace archive
