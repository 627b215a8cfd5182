#pragma once
#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

namespace mail {

// A file sent along with a message.
struct MailAttachment {
    QString fileName;        // as the receiver sees it, e.g. "pieraksts.ics"
    QByteArray contentType;  // e.g. "text/calendar; charset=utf-8; method=PUBLISH"
    QByteArray data;
};

// One e-mail to one recipient: a plain UTF-8 text, optionally with attachments.
struct MailMessage {
    QString fromName;
    QString fromAddress;
    QString toName;
    QString toAddress;
    QString subject;
    QString body;
    QList<MailAttachment> attachments;
    QDateTime date;        // the Date header; the current time when not valid
    QByteArray messageId;  // without the angle brackets; made up when empty
};

// The body in quoted-printable (RFC 2045): lines of at most 76 characters, soft breaks "=",
// line ends CRLF, spaces and tabs before a line end encoded.
QByteArray EncodeQuotedPrintable(const QString& text);
// A header text: as it is when it is printable ASCII, else RFC 2047 encoded words in UTF-8
// ("=?UTF-8?B?...?="), each at most 75 characters and never splitting a character.
QByteArray EncodeHeaderText(const QString& text);
// "Name <address>" with the name encoded (or quoted when it holds specials), or the bare address.
QByteArray FormatAddress(const QString& name, const QString& address);
// RFC 5322 date: "Sun, 06 Dec 2026 21:12:37 +0000", English names whatever the locale.
QByteArray FormatDate(const QDateTime& when);
// A new unique message id "<random>.<time>@<domain of the sender>".
QByteArray MakeMessageId(const QString& fromAddress);
// True for something@domain without blanks, angle brackets or line breaks (what may stand in an
// SMTP envelope).
bool IsPlausibleAddress(const QString& address);
// The addresses of a patient's E_MAIL, which may hold several separated by "," or ";".
QStringList SplitAddresses(const QString& stored);

// The whole message as it goes to the server: headers, a blank line and the body, CRLF line ends.
// A message without attachments is a single text/plain part; with attachments multipart/mixed.
QByteArray ComposeMessage(const MailMessage& message);

// One appointment in the clinic's calendar file.
struct CalendarEvent {
    QDateTime start;       // local time of the clinic
    int minutes = 30;      // duration
    QString summary;       // e.g. "Zobārsta vizīte: Higiēna"
    QString specialist;    // "Vārds Uzvārds"
    QString location;      // the clinic's name and address
    QString uid;           // stable per appointment, so that a resent reminder updates the event
};
// An iCalendar (RFC 5545) file with one event per appointment: times in UTC, texts escaped,
// lines folded at 75 octets, CRLF line ends.
QByteArray MakeCalendar(const QList<CalendarEvent>& events, const QDateTime& stamp = QDateTime());

}  // namespace mail
