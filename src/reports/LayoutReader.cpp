// Reading of layout files: <report> with one element per band; see reports/sample.xml for every
// element and attribute.
#include "models/NumberFormat.h"
#include "reports/ReportError.h"
#include "reports/ReportLayout.h"

#include <QXmlStreamReader>

namespace reports {

namespace {

// Why a placeholder's format cannot be used; empty when it can. A number format must be one of
// models::NumberFormat's forms; any other format must be a date or time pattern (dd.MM.yyyy, hh:mm):
// QDate and QTime field letters, other characters as separators, text in single quotes.
QString formatProblem(const QString& format) {
    using models::NumberFormat;
    if (format.isEmpty()) return {};
    if (NumberFormat::isNumberNotation(format)) {
        if (NumberFormat::parse(format)) return {};
        return QStringLiteral("skaitļa formāts \"%1\" nav atļauts; der %[-][0][platums][.decimāles]f "
                              "(platums līdz %2, decimāles līdz %3), 0.00, #0.00 vai #,##0.00")
            .arg(format, QString::number(NumberFormat::MaxWidth), QString::number(NumberFormat::MaxPrecision));
    }
    bool quoted = false;
    bool anyField = false;
    for (const QChar c : format) {
        if (c == u'\'') {
            quoted = !quoted;
        } else if (!quoted && c.isLetter()) {
            if (!QStringView(u"dMyhHmszaApPt").contains(c)) {
                anyField = false;
                break;
            }
            anyField = anyField || QStringView(u"dMyhHmsz").contains(c);
        }
    }
    if (anyField && !quoted) return {};
    return QStringLiteral("formāts \"%1\" nav ne skaitļa, ne datuma vai laika formāts").arg(format);
}

class LayoutReader {
public:
    LayoutReader(const QByteArray& xml, const QString& source)
        : m_xml(xml),
          m_source(source),
          m_blank(xml.trimmed().isEmpty()),
          m_startsLikeXml(xml.trimmed().startsWith('<') || xml.startsWith("\xEF\xBB\xBF<")) {}

    ReportLayout read() {
        if (!m_xml.readNextStartElement()) {
            if (m_blank) fail(QStringLiteral("tukšs fails"));
            // A file that does not open with a tag (a PDF or a CSV chosen by mistake) is not XML
            // at all: say so instead of calling it empty or quoting the parser.
            if (!m_startsLikeXml) fail(QStringLiteral("fails nav XML (%1)").arg(m_xml.errorString()));
            fail(m_xml.errorString());
        }
        if (m_xml.name() != u"report") fail(QStringLiteral("saknes elementam jābūt <report>"));
        readReportAttributes();
        while (m_xml.readNextStartElement()) readBandElement();
        if (m_xml.hasError()) fail(m_xml.errorString());
        return std::move(m_layout);
    }

private:
    [[noreturn]] void fail(const QString& what) const { failAt(m_xml.lineNumber(), what); }
    [[noreturn]] void failAt(qint64 line, const QString& what) const {
        throw ReportError(
            QStringLiteral("Atskaites veidne %1, rinda %2: %3").arg(m_source, QString::number(line), what));
    }

    QString attribute(const char* name) const { return m_xml.attributes().value(QLatin1StringView(name)).toString(); }
    bool has(const char* name) const { return m_xml.attributes().hasAttribute(QLatin1StringView(name)); }

    double number(const char* name, std::optional<double> fallback = std::nullopt) const {
        if (!has(name)) {
            if (!fallback) fail(QStringLiteral("trūkst atribūta %1").arg(QLatin1StringView(name)));
            return *fallback;
        }
        bool ok = false;
        const double v = attribute(name).trimmed().toDouble(&ok);
        if (!ok) fail(QStringLiteral("atribūtam %1 jābūt skaitlim").arg(QLatin1StringView(name)));
        return v;
    }

    bool flag(const char* name) const {
        if (!has(name)) return false;
        const QString v = attribute(name).trimmed().toLower();
        if (v == u"true" || v == u"1" || v == u"yes") return true;
        if (v == u"false" || v == u"0" || v == u"no") return false;
        fail(QStringLiteral("atribūtam %1 jābūt true vai false").arg(QLatin1StringView(name)));
    }

    void readReportAttributes() {
        m_layout.name = attribute("name");
        if (has("paper")) {
            const QString paper = attribute("paper").trimmed().toUpper();
            if (paper == u"A4") m_layout.paper = QPageSize::A4;
            else if (paper == u"A5") m_layout.paper = QPageSize::A5;
            else fail(QStringLiteral("nezināms papīra izmērs %1").arg(paper));
        }
        if (has("orientation")) {
            const QString o = attribute("orientation").trimmed().toLower();
            if (o == u"portrait") m_layout.orientation = QPageLayout::Portrait;
            else if (o == u"landscape") m_layout.orientation = QPageLayout::Landscape;
            else fail(QStringLiteral("orientācijai jābūt portrait vai landscape"));
        }
        if (has("margins")) m_layout.margins = margins(attribute("margins"));
        if (has("font")) m_layout.fontFamily = attribute("font");
        m_layout.fontSize = number("font-size", m_layout.fontSize);
    }

    // "10" for all four, or "left top right bottom".
    QMarginsF margins(const QString& text) const {
        QVector<double> v;
        for (const QString& part : text.split(u' ', Qt::SkipEmptyParts)) {
            bool ok = false;
            v.append(part.toDouble(&ok));
            if (!ok) fail(QStringLiteral("atribūtam margins jābūt skaitļiem"));
        }
        if (v.size() == 1) return QMarginsF(v[0], v[0], v[0], v[0]);
        if (v.size() == 4) return QMarginsF(v[0], v[1], v[2], v[3]);
        fail(QStringLiteral("atribūtam margins jābūt 1 vai 4 skaitļiem"));
    }

    void readBandElement() {
        const QStringView n = m_xml.name();
        if (n == u"title") m_layout.title = band();
        else if (n == u"page-header") m_layout.pageHeader = band();
        else if (n == u"master-data") m_layout.masterData = band();
        else if (n == u"summary") m_layout.summary = band();
        else if (n == u"page-footer") m_layout.pageFooter = band();
        else if (n == u"group") m_layout.group = group();
        else fail(QStringLiteral("nezināms elements <%1>").arg(n));
    }

    GroupBands group() {
        GroupBands g;
        g.field = attribute("field").trimmed();
        if (g.field.isEmpty()) fail(QStringLiteral("grupai trūkst atribūta field"));
        g.newPage = flag("new-page");
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() == u"header") g.header = band();
            else if (m_xml.name() == u"footer") g.footer = band();
            else fail(QStringLiteral("nezināms elements <%1> grupā").arg(m_xml.name()));
        }
        return g;
    }

    Band band() {
        Band b;
        b.height = number("height");
        while (m_xml.readNextStartElement()) {
            const QStringView n = m_xml.name();
            if (n == u"text") b.texts.append(text());
            else if (n == u"line") b.lines.append(line());
            else if (n == u"frame") b.frames.append(frame());
            else fail(QStringLiteral("nezināms elements <%1> joslā").arg(n));
        }
        return b;
    }

    QRectF rect() const { return QRectF(number("x"), number("y"), number("width"), number("height")); }

    Qt::Alignment alignment() const {
        Qt::Alignment a;
        const QString h = attribute("align").trimmed().toLower();
        if (h.isEmpty() || h == u"left") a |= Qt::AlignLeft;
        else if (h == u"center") a |= Qt::AlignHCenter;
        else if (h == u"right") a |= Qt::AlignRight;
        else fail(QStringLiteral("align jābūt left, center vai right"));
        const QString v = attribute("valign").trimmed().toLower();
        if (v.isEmpty() || v == u"top") a |= Qt::AlignTop;
        else if (v == u"middle") a |= Qt::AlignVCenter;
        else if (v == u"bottom") a |= Qt::AlignBottom;
        else fail(QStringLiteral("valign jābūt top, middle vai bottom"));
        return a;
    }

    TextItem text() {
        TextItem t;
        t.rect = rect();
        t.fontFamily = has("font") ? attribute("font") : m_layout.fontFamily;
        t.fontSize = number("font-size", m_layout.fontSize);
        t.bold = flag("bold");
        t.italic = flag("italic");
        t.alignment = alignment();
        t.wrap = flag("wrap");
        t.frameWidth = number("frame", 0);
        t.csvTitle = attribute("csv-title");
        // The text begins on the line where its start tag ends.
        const qint64 firstLine = m_xml.lineNumber();
        // The text is taken as it stands: leading and trailing blanks are part of it.
        t.text = TextTemplate(m_xml.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement));
        if (m_xml.hasError()) fail(m_xml.errorString());
        checkFormats(t.text, firstLine);
        return t;
    }

    // Formats are checked here, not when printing: a layout with a format the printing cannot
    // honour is refused as a whole, naming the line of the placeholder.
    void checkFormats(const TextTemplate& text, qint64 firstLine) const {
        const QString& source = text.source();
        for (const TextTemplate::Segment& s : text.segments()) {
            if (!s.isPlaceholder()) continue;
            const QString problem = formatProblem(s.format);
            if (problem.isEmpty()) continue;
            const qsizetype close = source.indexOf(u']', s.offset);
            failAt(firstLine + source.left(s.offset).count(u'\n'),
                   QStringLiteral("vietturī %1 %2").arg(source.mid(s.offset, close - s.offset + 1), problem));
        }
    }

    LineItem line() {
        LineItem l{QLineF(number("x1"), number("y1"), number("x2"), number("y2")), number("width", 0.2)};
        m_xml.skipCurrentElement();
        return l;
    }

    FrameItem frame() {
        FrameItem f{rect(), number("line-width", 0.2)};
        m_xml.skipCurrentElement();
        return f;
    }

    QXmlStreamReader m_xml;
    QString m_source;
    bool m_blank;
    bool m_startsLikeXml;
    ReportLayout m_layout;
};

}  // namespace

ReportLayout ReportLayout::fromXml(const QByteArray& xml, const QString& source) {
    return LayoutReader(xml, source).read();
}

}  // namespace reports
