#include "mail/MailMessage.h"

#include <QLocale>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTimeZone>
#include <QUuid>

namespace mail {

namespace {

constexpr int QpLineLength = 76;
const char Hex[] = "0123456789ABCDEF";

QByteArray hexByte(uchar c) {
    QByteArray out("=");
    out.append(Hex[c >> 4]).append(Hex[c & 15]);
    return out;
}

bool isPrintableAscii(const QString& text) {
    for (QChar c : text)
        if (c.unicode() < 32 || c.unicode() > 126) return false;
    return true;
}

// One line of the text (without its line end) in quoted-printable, with soft breaks.
void encodeQpLine(const QByteArray& line, QByteArray& out) {
    int length = 0;
    for (int i = 0; i < line.size(); ++i) {
        const uchar c = uchar(line[i]);
        const bool last = i == line.size() - 1;
        QByteArray piece;
        // A leading dot is encoded so that no server or relay takes the line for the end of data.
        if ((c >= 33 && c <= 126 && c != '=' && !(c == '.' && length == 0)) || ((c == ' ' || c == '\t') && !last))
            piece = QByteArray(1, char(c));
        else
            piece = hexByte(c);
        // Room is left for the soft break "=" unless this is the line's last piece.
        const int limit = last ? QpLineLength : QpLineLength - 1;
        if (length + piece.size() > limit) {
            out.append("=\r\n");
            length = 0;
            if (piece == ".") piece = hexByte(c);
        }
        out.append(piece);
        length += int(piece.size());
    }
}

QByteArray encodedWords(const QString& text) {
    // "=?UTF-8?B?" + base64 + "?=" within 75 characters: 60 base64 characters, 45 bytes.
    constexpr int MaxBytes = 45;
    QList<QByteArray> words;
    QByteArray chunk;
    const QList<uint> codes = text.toUcs4();
    for (uint code : codes) {
        const QByteArray bytes = QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1).toUtf8();
        if (chunk.size() + bytes.size() > MaxBytes) {
            words.append(chunk);
            chunk.clear();
        }
        chunk.append(bytes);
    }
    if (!chunk.isEmpty()) words.append(chunk);
    QByteArray out;
    for (const QByteArray& w : words) {
        if (!out.isEmpty()) out.append("\r\n ");
        out.append("=?UTF-8?B?").append(w.toBase64()).append("?=");
    }
    return out;
}

QByteArray base64Lines(const QByteArray& data) {
    const QByteArray encoded = data.toBase64();
    QByteArray out;
    for (int i = 0; i < encoded.size(); i += 76) out.append(encoded.mid(i, 76)).append("\r\n");
    return out;
}

QByteArray quotedParameter(const QString& value) {
    QByteArray v = value.toUtf8();
    v.replace('\\', "\\\\").replace('"', "\\\"");
    return '"' + v + '"';
}

QByteArray icsText(const QString& text) {
    QString t = text;
    t.replace(u'\\', QStringLiteral("\\\\"));
    t.replace(u';', QStringLiteral("\\;"));
    t.replace(u',', QStringLiteral("\\,"));
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(u'\n', QStringLiteral("\\n"));
    return t.toUtf8();
}

// A content line folded at 75 octets without splitting a UTF-8 sequence.
QByteArray icsLine(const QByteArray& line) {
    QByteArray out;
    int length = 0;
    for (int i = 0; i < line.size();) {
        int n = 1;
        const uchar c = uchar(line[i]);
        if (c >= 0xF0) n = 4;
        else if (c >= 0xE0) n = 3;
        else if (c >= 0xC0) n = 2;
        if (length + n > 75) {
            out.append("\r\n ");
            length = 1;
        }
        out.append(line.mid(i, n));
        length += n;
        i += n;
    }
    return out.append("\r\n");
}

QByteArray utcStamp(const QDateTime& when) {
    return when.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'")).toLatin1();
}

}  // namespace

QByteArray EncodeQuotedPrintable(const QString& text) {
    QString normal = text;
    normal.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    normal.replace(u'\r', u'\n');
    const QStringList lines = normal.split(u'\n');
    QByteArray out;
    for (int i = 0; i < lines.size(); ++i) {
        if (i > 0) out.append("\r\n");
        encodeQpLine(lines[i].toUtf8(), out);
    }
    return out;
}

QByteArray EncodeHeaderText(const QString& text) {
    if (isPrintableAscii(text) && !text.contains(QStringLiteral("=?"))) return text.toLatin1();
    return encodedWords(text);
}

QByteArray FormatAddress(const QString& name, const QString& address) {
    const QString n = name.simplified();
    if (n.isEmpty()) return address.toLatin1();
    QByteArray shown;
    if (!isPrintableAscii(n) || n.contains(QStringLiteral("=?"))) {
        shown = encodedWords(n);
    } else {
        static const QString specials = QStringLiteral("()<>[]:;@\\,.\"");
        bool special = false;
        for (QChar c : n) special = special || specials.contains(c);
        shown = special ? quotedParameter(n) : n.toLatin1();
    }
    return shown + QByteArray(" <") + address.toLatin1() + QByteArray(">");
}

QByteArray FormatDate(const QDateTime& when) {
    const QDateTime local = when.isValid() ? when : QDateTime::currentDateTime();
    const int offset = local.offsetFromUtc() / 60;
    const int a = qAbs(offset);
    return QLocale::c().toString(local, QStringLiteral("ddd, dd MMM yyyy HH:mm:ss")).toLatin1() +
           QStringLiteral(" %1%2%3").arg(QChar(offset < 0 ? u'-' : u'+')).arg(a / 60, 2, 10, QChar(u'0')).arg(a % 60, 2, 10, QChar(u'0')).toLatin1();
}

QByteArray MakeMessageId(const QString& fromAddress) {
    QString domain = fromAddress.section(u'@', 1).trimmed();
    if (domain.isEmpty()) domain = QStringLiteral("molarix.invalid");
    QByteArray id = QUuid::createUuid().toByteArray(QUuid::WithoutBraces);
    id.append('.').append(QByteArray::number(QDateTime::currentMSecsSinceEpoch())).append('@').append(domain.toLatin1());
    return id;
}

bool IsPlausibleAddress(const QString& address) {
    const qsizetype at = address.indexOf(u'@');
    if (at <= 0 || at != address.lastIndexOf(u'@') || at == address.size() - 1) return false;
    for (QChar c : address)
        if (c.isSpace() || c == u'<' || c == u'>' || c == u',' || c == u';' || c.unicode() < 33) return false;
    return true;
}

QByteArray ComposeMessage(const MailMessage& m) {
    QByteArray out;
    out.append("Date: ").append(FormatDate(m.date)).append("\r\n");
    out.append("From: ").append(FormatAddress(m.fromName, m.fromAddress)).append("\r\n");
    out.append("To: ").append(FormatAddress(m.toName, m.toAddress)).append("\r\n");
    out.append("Subject: ").append(EncodeHeaderText(m.subject)).append("\r\n");
    out.append("Message-ID: <").append(m.messageId.isEmpty() ? MakeMessageId(m.fromAddress) : m.messageId).append(">\r\n");
    out.append("MIME-Version: 1.0\r\n");
    const QByteArray textHeaders =
        "Content-Type: text/plain; charset=utf-8\r\nContent-Transfer-Encoding: quoted-printable\r\n";
    if (m.attachments.isEmpty()) {
        out.append(textHeaders).append("\r\n");
        out.append(EncodeQuotedPrintable(m.body)).append("\r\n");
        return out;
    }
    const QByteArray boundary = "=_" + QUuid::createUuid().toByteArray(QUuid::Id128);
    out.append("Content-Type: multipart/mixed; boundary=\"").append(boundary).append("\"\r\n\r\n");
    out.append("--").append(boundary).append("\r\n").append(textHeaders).append("\r\n");
    out.append(EncodeQuotedPrintable(m.body)).append("\r\n");
    for (const MailAttachment& a : m.attachments) {
        out.append("--").append(boundary).append("\r\n");
        out.append("Content-Type: ").append(a.contentType).append("; name=").append(quotedParameter(a.fileName)).append("\r\n");
        out.append("Content-Disposition: attachment; filename=").append(quotedParameter(a.fileName)).append("\r\n");
        out.append("Content-Transfer-Encoding: base64\r\n\r\n");
        out.append(base64Lines(a.data));
    }
    out.append("--").append(boundary).append("--\r\n");
    return out;
}

QByteArray MakeCalendar(const QList<CalendarEvent>& events, const QDateTime& stamp) {
    QByteArray out;
    out.append(icsLine("BEGIN:VCALENDAR"));
    out.append(icsLine("VERSION:2.0"));
    out.append(icsLine("PRODID:-//Molarix//Atgadinajumi//LV"));
    out.append(icsLine("CALSCALE:GREGORIAN"));
    out.append(icsLine("METHOD:PUBLISH"));
    const QByteArray now = utcStamp(stamp.isValid() ? stamp : QDateTime::currentDateTimeUtc());
    for (const CalendarEvent& e : events) {
        out.append(icsLine("BEGIN:VEVENT"));
        out.append(icsLine("UID:" + icsText(e.uid)));
        out.append(icsLine("DTSTAMP:" + now));
        out.append(icsLine("DTSTART:" + utcStamp(e.start)));
        out.append(icsLine("DTEND:" + utcStamp(e.start.addSecs(qint64(qMax(e.minutes, 0)) * 60))));
        out.append(icsLine("SUMMARY:" + icsText(e.summary)));
        if (!e.location.isEmpty()) out.append(icsLine("LOCATION:" + icsText(e.location)));
        if (!e.specialist.isEmpty()) out.append(icsLine("DESCRIPTION:" + icsText(QStringLiteral("Speciālists: ") + e.specialist)));
        out.append(icsLine("STATUS:CONFIRMED"));
        out.append(icsLine("END:VEVENT"));
    }
    out.append(icsLine("END:VCALENDAR"));
    return out;
}

QStringList SplitAddresses(const QString& stored) {
    QStringList out;
    for (const QString& a : stored.split(QRegularExpression(QStringLiteral("[,;]")), Qt::SkipEmptyParts))
        if (!a.trimmed().isEmpty()) out.append(a.trimmed());
    return out;
}

}  // namespace mail
