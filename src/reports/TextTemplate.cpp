#include "reports/TextTemplate.h"

#include <QRegularExpression>

namespace reports {

namespace {

// NAME or SUM(NAME); names are letters (Latvian ones too), digits, '_' and '.'.
const QRegularExpression& placeholderPattern() {
    static const QRegularExpression re(QStringLiteral("^\\s*(?:(SUM)\\(\\s*([\\w.]+)\\s*\\)|([\\w.]+))\\s*$"),
                                       QRegularExpression::CaseInsensitiveOption |
                                           QRegularExpression::UseUnicodePropertiesOption);
    return re;
}

}  // namespace

TextTemplate::TextTemplate(const QString& source) : m_source(source) {
    QString literal;
    auto flushLiteral = [&] {
        if (literal.isEmpty()) return;
        m_segments.append(Segment{literal, {}, {}, false});
        literal.clear();
    };

    qsizetype i = 0;
    while (i < source.size()) {
        const QChar c = source[i];
        if (c != u'[') {
            literal += c;
            ++i;
            continue;
        }
        if (i + 1 < source.size() && source[i + 1] == u'[') {
            literal += u'[';
            i += 2;
            continue;
        }
        const qsizetype close = source.indexOf(u']', i + 1);
        if (close < 0) {
            literal += source.mid(i);
            break;
        }
        const QString inner = source.mid(i + 1, close - i - 1);
        const qsizetype bar = inner.indexOf(u'|');
        const auto m = placeholderPattern().match(bar < 0 ? inner : inner.left(bar));
        if (!m.hasMatch()) {
            literal += source.mid(i, close - i + 1);
        } else {
            flushLiteral();
            Segment s;
            s.sum = m.hasCaptured(1);
            s.name = s.sum ? m.captured(2) : m.captured(3);
            if (bar >= 0) s.format = inner.mid(bar + 1);
            s.offset = i;
            m_segments.append(s);
        }
        i = close + 1;
    }
    flushLiteral();
}

}  // namespace reports
