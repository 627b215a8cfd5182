#include "app/RightsString.h"

#include "app/WindowCatalogue.h"

#include <algorithm>

#include <QCoreApplication>

namespace app {

namespace {
constexpr int EntryLength = 7;  // "cc_PPPP"
constexpr int CodeLength = 2;
}  // namespace

const QVector<RightsFunction>& RightsString::functions() {
    // The windows a right gates, from the window catalogue, in code order.
    static const QVector<RightsFunction> list = [] {
        QVector<RightsFunction> out;
        for (const WindowEntry& e : WindowCatalogue())
            if (!e.rightsCode.isEmpty()) out.append({e.rightsCode, e.rightsCaption});
        std::sort(out.begin(), out.end(), [](const RightsFunction& a, const RightsFunction& b) { return a.code < b.code; });
        return out;
    }();
    return list;
}

QString RightsString::codeOfCaption(const QString& caption) {
    for (const RightsFunction& f : functions())
        if (f.caption == caption) return f.code;
    return {};
}

QString RightsString::letters(bool view, bool change, bool add, bool remove) {
    QString s;
    for (bool b : {view, change, add, remove}) s += b ? QLatin1Char('T') : QLatin1Char('F');
    return s;
}

qsizetype RightsString::entryAt(const QString& code) const { return m_text.indexOf(code + QLatin1Char('_')); }

bool RightsString::contains(const QString& code) const { return entryAt(code) >= 0; }

QString RightsString::lettersOf(const QString& code) const {
    const qsizetype p = entryAt(code);
    return p < 0 ? QString() : m_text.mid(p + CodeLength + 1, EntryLength - CodeLength - 1);
}

void RightsString::setLetters(const QString& code, const QString& letters) {
    const qsizetype p = entryAt(code);
    if (p < 0) return;
    const QString four = letters.left(4).leftJustified(4, QLatin1Char('F'));
    // A truncated last entry (a hand-edited string) is completed rather than left short.
    m_text.replace(p + CodeLength + 1, qMin<qsizetype>(4, m_text.size() - p - CodeLength - 1), four);
}

void RightsString::grant(const QString& code, const QString& letters) {
    if (contains(code))
        setLetters(code, letters);
    else
        m_text += code + QLatin1Char('_') + letters.left(4).leftJustified(4, QLatin1Char('F'));
}

void RightsString::revoke(const QString& code) {
    const qsizetype p = entryAt(code);
    if (p >= 0) m_text.remove(p, EntryLength);
}

QStringList RightsString::chosenCaptions() const {
    QStringList list;
    for (const RightsFunction& f : functions())
        if (contains(f.code)) list.append(f.caption);
    list.sort();
    return list;
}

QStringList RightsString::otherCaptions() const {
    QStringList list;
    for (const RightsFunction& f : functions())
        if (!contains(f.code)) list.append(f.caption);
    list.sort();
    return list;
}

}  // namespace app

namespace app {

QStringList MenuCodesGranted(const QString& userName, const QString& rights) {
    QStringList codes;
    if (userName == QLatin1String("ADMIN")) {
        for (const RightsFunction& f : RightsString::functions()) codes.append(f.code);
        return codes;
    }
    QString s = rights;
    for (;;) {
        const qsizetype p = s.indexOf(QLatin1Char('_'));
        if (p < 0) break;
        if (p + 1 < s.size() && s.at(p + 1) == QLatin1Char('T')) {
            const QString code = s.left(2);
            if (!codes.contains(code)) codes.append(code);
        }
        s = s.mid(p + 5);
    }
    return codes;
}

}  // namespace app
