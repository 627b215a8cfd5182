#include "reports/Csv.h"

#include <QIODevice>
#include <QRegularExpression>

namespace reports {

namespace {

// One physical line of the input. `ending` is the line end as it stood ("\r\n", "\n", or empty at
// the end of the input): a quoted field that spans lines keeps it.
struct Line {
    QString text;
    QString ending;
    qint64 bytes = 0;      // as read, line end included
    bool tooLong = false;  // longer than the limit; the rest of the line was skipped
};

bool readPhysicalLine(QIODevice& device, qint64 limit, Line* line) {
    if (device.atEnd()) return false;
    QByteArray bytes = device.readLine(qMax<qint64>(limit, 1));
    line->bytes = bytes.size();
    line->tooLong = false;
    if (!bytes.endsWith('\n') && !device.atEnd()) {
        line->tooLong = true;
        // Skip the rest of the line without holding it.
        while (!device.atEnd() && !device.readLine(64 * 1024).endsWith('\n')) {
        }
    }
    if (bytes.endsWith("\r\n")) {
        bytes.chop(2);
        line->ending = QStringLiteral("\r\n");
    } else if (bytes.endsWith('\n')) {
        bytes.chop(1);
        line->ending = QStringLiteral("\n");
    } else {
        line->ending.clear();
    }
    line->text = QString::fromUtf8(bytes);
    return true;
}

}  // namespace

CsvReader::CsvReader(QIODevice& device, QChar separator) : m_device(device), m_separator(separator) {}

bool CsvReader::next() {
    m_fields.clear();
    m_error.clear();
    Line line;
    do {
        if (!readPhysicalLine(m_device, MaxRecordBytes + 2, &line)) return false;
        if (++m_line == 1 && line.text.startsWith(QChar(0xFEFF))) line.text.remove(0, 1);
    } while (line.text.isEmpty() && !line.tooLong);
    m_recordLine = m_line;

    const auto tooLong = [&] {
        m_error = QStringLiteral("ieraksts ir garāks par %1 MiB (varbūt trūkst noslēdzošās pēdiņas)")
                      .arg(MaxRecordBytes >> 20);
    };
    QString field;
    bool inQuotes = false;    // inside a quoted field
    bool wasQuoted = false;   // the current field began with a quote
    bool afterClose = false;  // its closing quote has been read
    qint64 recordBytes = 0;
    for (;;) {
        if (line.tooLong) {
            tooLong();
            break;
        }
        const QString& text = line.text;
        for (qsizetype i = 0; i < text.size() && m_error.isEmpty(); ++i) {
            const QChar c = text[i];
            if (inQuotes) {
                if (c != u'"') {
                    field += c;
                } else if (i + 1 < text.size() && text[i + 1] == u'"') {
                    field += c;
                    ++i;
                } else {
                    inQuotes = false;
                    afterClose = true;
                }
            } else if (c == m_separator) {
                m_fields.append(field);
                field.clear();
                wasQuoted = afterClose = false;
            } else if (afterClose) {
                m_error = QStringLiteral(
                    "aiz noslēdzošās pēdiņas lauks turpinās (pēdiņa lauka iekšpusē "
                    "jāraksta divreiz)");
            } else if (c == u'"') {
                if (!field.isEmpty() || wasQuoted) {
                    m_error = QStringLiteral(
                        "pēdiņa lauka vidū (laukam ar pēdiņu jābūt pēdiņās un pēdiņai "
                        "jābūt divreiz)");
                } else {
                    inQuotes = wasQuoted = true;
                }
            } else {
                field += c;
            }
        }
        if (!inQuotes || !m_error.isEmpty()) break;
        // The quoted field goes on on the next line.
        field += line.ending;
        recordBytes += line.bytes;
        if (recordBytes >= MaxRecordBytes) {
            tooLong();
            break;
        }
        if (!readPhysicalLine(m_device, MaxRecordBytes - recordBytes + 2, &line)) {
            m_error = QStringLiteral("pēdiņa atvērta, bet nav aizvērta līdz faila beigām");
            break;
        }
        ++m_line;
    }
    m_fields.append(field);
    return true;
}

QString csvField(const QString& text, QChar separator) {
    static const QRegularExpression number(
        QStringLiteral("^[-+]?(\\d+([.,]\\d*)?|[.,]\\d+)([eE][-+]?\\d+)?$"));
    QString out = text;
    if (!out.isEmpty() && QStringView(u"=+-@").contains(out.front()) && !number.match(out).hasMatch())
        out.prepend(u'\'');
    if (!out.contains(separator) && !out.contains(u'"') && !out.contains(u'\n') && !out.contains(u'\r'))
        return out;
    out.replace(u'"', QStringLiteral("\"\""));
    return u'"' + out + u'"';
}

QString csvRecord(const QStringList& fields, QChar separator) {
    QString line;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0) line += separator;
        line += csvField(fields[i], separator);
    }
    return line + QStringLiteral("\r\n");
}

}  // namespace reports
