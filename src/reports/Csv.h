#pragma once
#include <QChar>
#include <QString>
#include <QStringList>

class QIODevice;

namespace reports {

// CSV as RFC 4180 describes it, with ';' between fields (the separator the clinic's spreadsheet
// programs expect) and UTF-8 text: a field holding the separator, a double quote or a line break
// is put in double quotes with its quotes doubled; a quoted field may span lines.

// Reads records one at a time from a device, so that a file of any size is read in bounded
// memory. Line ends may be CR LF or LF; a UTF-8 byte-order mark at the start is skipped; empty
// lines between records are skipped. A record that breaks the rules is still returned, with
// error() saying what is wrong, and reading goes on with the next line.
class CsvReader {
public:
    // A record longer than this (bytes of the file) is refused: it is an unterminated quote or a
    // file that is not CSV, and would otherwise take the rest of the file into memory.
    static constexpr qint64 MaxRecordBytes = 4 << 20;

    explicit CsvReader(QIODevice& device, QChar separator = u';');

    // Reads the next record; false at the end of the input.
    bool next();
    const QStringList& fields() const { return m_fields; }
    // The line (1-based) on which the current record begins.
    qint64 line() const { return m_recordLine; }
    // What is wrong with the current record (Latvian, without the line number); empty when it is
    // well-formed.
    const QString& error() const { return m_error; }

private:
    QIODevice& m_device;
    QChar m_separator;
    QStringList m_fields;
    QString m_error;
    qint64 m_line = 0;  // lines read so far
    qint64 m_recordLine = 0;
};

// One field as written to a file for a spreadsheet: quoted when it needs to be; a text that the
// spreadsheet would run as a formula (it starts with '=', '+', '-' or '@' and is not a number,
// e.g. "=HYPERLINK(...)" typed into a name) gets an apostrophe in front, which the spreadsheet
// shows as text. Numbers such as "-12.50" are written as they are.
QString csvField(const QString& text, QChar separator = u';');
// A whole record: fields joined by the separator, ending with CR LF.
QString csvRecord(const QStringList& fields, QChar separator = u';');

}  // namespace reports
