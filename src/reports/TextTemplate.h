#pragma once
#include <QString>
#include <QVector>

namespace reports {

// A text of a layout with placeholders in square brackets:
//   [NAME]             a field of the current row, a built-in or a named value
//   [NAME|FORMAT]      the same, formatted ("0.00", "%10.2f", "dd.MM.yyyy", ...)
//   [SUM(NAME)|FORMAT] the sum of NAME over the rows the band covers
//   [[                 a literal "["
// A bracket that does not open one of these forms is printed as it stands.
class TextTemplate {
public:
    struct Segment {
        QString literal;    // text printed as it stands; empty for a placeholder
        QString name;       // placeholder name as written; empty for a literal
        QString format;     // empty = the value's own form
        bool sum = false;   // SUM(name)
        qsizetype offset = 0;  // where the placeholder's "[" stands in the source
        bool isPlaceholder() const { return !name.isEmpty(); }
    };

    TextTemplate() = default;
    explicit TextTemplate(const QString& source);

    const QString& source() const { return m_source; }
    const QVector<Segment>& segments() const { return m_segments; }
    bool isEmpty() const { return m_source.isEmpty(); }

private:
    QString m_source;
    QVector<Segment> m_segments;
};

}  // namespace reports
