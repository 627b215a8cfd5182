#include "db/SqlText.h"

namespace db {

namespace {

bool isNameStart(QChar c) { return c.isLetter() || c == u'_'; }
bool isNamePart(QChar c) { return c.isLetterOrNumber() || c == u'_' || c == u'$'; }

// Index just past a quoted run that starts at i (the quote itself); a doubled quote inside is
// an escaped quote. An unterminated run ends at the end of the text.
qsizetype skipQuoted(const QString& s, qsizetype i) {
    const QChar q = s[i];
    ++i;
    while (i < s.size()) {
        if (s[i] == q) {
            if (i + 1 < s.size() && s[i + 1] == q) {
                i += 2;
                continue;
            }
            return i + 1;
        }
        ++i;
    }
    return i;
}

qsizetype skipComment(const QString& s, qsizetype i) {
    if (s[i] == u'-') {
        while (i < s.size() && s[i] != u'\n') ++i;
        return i;
    }
    const qsizetype end = s.indexOf(QLatin1String("*/"), i + 2);
    return end < 0 ? s.size() : end + 2;
}

bool commentStarts(const QString& s, qsizetype i) {
    return i + 1 < s.size() &&
           ((s[i] == u'-' && s[i + 1] == u'-') || (s[i] == u'/' && s[i + 1] == u'*'));
}

}  // namespace

PositionalSql toPositional(const QString& sql) {
    PositionalSql out;
    out.sql.reserve(sql.size());
    qsizetype i = 0;
    while (i < sql.size()) {
        const QChar c = sql[i];
        if (c == u'\'' || c == u'"') {
            const qsizetype end = skipQuoted(sql, i);
            out.sql += QStringView(sql).mid(i, end - i);
            i = end;
        } else if (commentStarts(sql, i)) {
            const qsizetype end = skipComment(sql, i);
            out.sql += QStringView(sql).mid(i, end - i);
            i = end;
        } else if (c == u':' && i + 1 < sql.size() && isNameStart(sql[i + 1])) {
            qsizetype end = i + 1;
            while (end < sql.size() && isNamePart(sql[end])) ++end;
            out.names.append(sql.mid(i + 1, end - i - 1).toUpper());
            out.sql += u'?';
            i = end;
        } else {
            out.sql += c;
            ++i;
        }
    }
    return out;
}

QStringList splitScript(const QString& script) {
    QStringList statements;
    QString terminator = QStringLiteral(";");
    QString current;
    qsizetype i = 0;

    auto flush = [&]() {
        const QString st = current.trimmed();
        if (!st.isEmpty()) {
            // "SET TERM ^ ;" changes the terminator and is not sent to the server.
            static const QString setTerm = QStringLiteral("SET TERM");
            if (st.startsWith(setTerm, Qt::CaseInsensitive)) {
                terminator = st.mid(setTerm.size()).trimmed();
            } else {
                statements.append(st);
            }
        }
        current.clear();
    };

    while (i < script.size()) {
        const QChar c = script[i];
        if (c == u'\'' || c == u'"') {
            const qsizetype end = skipQuoted(script, i);
            current += QStringView(script).mid(i, end - i);
            i = end;
        } else if (commentStarts(script, i)) {
            i = skipComment(script, i);
            current += u' ';
        } else if (QStringView(script).mid(i).startsWith(terminator)) {
            i += terminator.size();
            flush();
        } else {
            current += c;
            ++i;
        }
    }
    flush();
    return statements;
}

}  // namespace db
