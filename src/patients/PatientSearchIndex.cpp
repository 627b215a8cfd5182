#include "patients/PatientSearchIndex.h"

#include "app/TextNormalize.h"

#include <algorithm>
#include <array>

namespace patients {

namespace {

// Longest typed text the search compares; FindPatient answers 0 beyond it.
constexpr int TypedTextLimit = 250;

const std::array<char16_t, 0x10000>& upperTable() {
    static const std::array<char16_t, 0x10000> table = [] {
        std::array<char16_t, 0x10000> t{};
        for (int c = 0; c < 0x10000; ++c) {
            const char16_t u = QChar(char16_t(c)).toUpper().unicode();
            t[c] = app::IsClinicCharacter(char16_t(c)) && app::IsClinicCharacter(u) ? u : char16_t(c);
        }
        return t;
    }();
    return table;
}

bool startsWith(QStringView text, QStringView prefix) {
    return text.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), text.begin());
}

bool containsText(QStringView text, QStringView fragment) {
    if (fragment.isEmpty()) return true;
    if (fragment.size() > text.size()) return false;
    return std::search(text.begin(), text.end(), fragment.begin(), fragment.end()) != text.end();
}

bool covers(std::uint64_t column, std::uint64_t fragment) { return (column & fragment) == fragment; }

}  // namespace

char16_t PatientSearchIndex::upper(char16_t c) { return upperTable()[c]; }

QString PatientSearchIndex::upper(QStringView text) {
    QString out(text.size(), Qt::Uninitialized);
    const std::array<char16_t, 0x10000>& table = upperTable();
    for (qsizetype i = 0; i < text.size(); ++i) out[i] = QChar(table[text[i].unicode()]);
    return out;
}

std::uint64_t PatientSearchIndex::signature(QStringView text) {
    std::uint64_t bits = 0;
    for (QChar qc : text) {
        const char16_t c = qc.unicode();
        int bit;
        if (c >= u'A' && c <= u'Z') bit = c - u'A';
        else if (c >= u'0' && c <= u'9') bit = 26 + (c - u'0');
        else if (c == u' ') bit = 36;
        else bit = 37 + int((std::uint32_t(c) * 2654435761u) >> 16) % 27;
        bits |= std::uint64_t(1) << bit;
    }
    return bits;
}

QStringView PatientSearchIndex::column(const Entry& e, Column c) const {
    std::uint32_t offset = e.offset;
    for (int i = 0; i < c; ++i) offset += e.length[i];
    return QStringView(m_pool.data() + offset, e.length[c]);
}

PatientSearchIndex::Entry PatientSearchIndex::makeEntry(const PatientSearchRow& row) {
    Entry e;
    e.key = row.key;
    e.offset = std::uint32_t(m_pool.size());
    const QString* columns[ColumnCount] = {&row.surname, &row.firstName, &row.personalCode, &row.phone,
                                           &row.mobile};
    for (int c = 0; c < ColumnCount; ++c) {
        // The columns are at most 200 characters wide; anything longer cannot come from the table.
        const QString folded = upper(QStringView(*columns[c]).left(255));
        e.length[c] = std::uint8_t(folded.size());
        m_pool.insert(m_pool.end(), folded.utf16(), folded.utf16() + folded.size());
    }
    e.signature[0] = signature(column(e, Surname));
    e.signature[1] = signature(column(e, FirstName));
    e.signature[2] = signature(column(e, PersonalCode));
    e.signature[3] = signature(column(e, Phone)) | signature(column(e, Mobile));
    return e;
}

void PatientSearchIndex::assign(const QVector<PatientSearchRow>& rows) {
    m_entries.clear();
    m_pool.clear();
    m_garbage = 0;
    QVector<const PatientSearchRow*> ordered;
    ordered.reserve(rows.size());
    for (const PatientSearchRow& r : rows)
        if (r.key != 1) ordered.append(&r);
    std::sort(ordered.begin(), ordered.end(),
              [](const PatientSearchRow* x, const PatientSearchRow* y) { return x->key < y->key; });
    m_entries.reserve(ordered.size());
    for (const PatientSearchRow* r : ordered) {
        if (!m_entries.empty() && m_entries.back().key == r->key) continue;
        m_entries.push_back(makeEntry(*r));
    }
}

bool PatientSearchIndex::contains(int key) const {
    auto it = std::lower_bound(m_entries.begin(), m_entries.end(), key,
                               [](const Entry& e, int k) { return e.key < k; });
    return it != m_entries.end() && it->key == key;
}

void PatientSearchIndex::upsert(const PatientSearchRow& row) {
    if (row.key == 1) return;
    auto it = std::lower_bound(m_entries.begin(), m_entries.end(), row.key,
                               [](const Entry& e, int k) { return e.key < k; });
    const std::size_t at = std::size_t(it - m_entries.begin());
    const Entry entry = makeEntry(row);
    if (at < m_entries.size() && m_entries[at].key == row.key) {
        for (std::uint8_t l : m_entries[at].length) m_garbage += l;
        m_entries[at] = entry;
    } else {
        m_entries.insert(m_entries.begin() + std::ptrdiff_t(at), entry);
    }
    compactIfWasteful();
}

void PatientSearchIndex::remove(int key) {
    auto it = std::lower_bound(m_entries.begin(), m_entries.end(), key,
                               [](const Entry& e, int k) { return e.key < k; });
    if (it == m_entries.end() || it->key != key) return;
    for (std::uint8_t l : it->length) m_garbage += l;
    m_entries.erase(it);
    compactIfWasteful();
}

void PatientSearchIndex::compactIfWasteful() {
    if (m_garbage < 4096 || m_garbage * 2 < m_pool.size()) return;
    std::vector<char16_t> pool;
    pool.reserve(m_pool.size() - m_garbage);
    for (Entry& e : m_entries) {
        std::uint32_t total = 0;
        for (std::uint8_t l : e.length) total += l;
        const std::uint32_t offset = std::uint32_t(pool.size());
        pool.insert(pool.end(), m_pool.begin() + e.offset, m_pool.begin() + e.offset + total);
        e.offset = offset;
    }
    m_pool.swap(pool);
    m_garbage = 0;
}

int PatientSearchIndex::find(const QString& text) const {
    const QString s = app::NormalizeSearchText(text);
    if (s.isEmpty() || text.size() > TypedTextLimit) return 0;
    const qsizetype blank = s.indexOf(u' ');
    const QString a = blank < 0 ? s : s.left(blank);
    const QString b = blank < 0 ? s : s.mid(blank + 1);
    if (const int key = findByRules(s, a, b)) return key;
    return findByPhone(text);
}

int PatientSearchIndex::findByRules(const QString& s, const QString& a, const QString& b) const {
    // Surname and first name containing the two words in either order (rule 1) beat a surname
    // (2), a first name (3) or a personal code (4) starting with the text; within a rule the
    // lowest key wins. One walk in key order finds them all and stops at the first rule-1 match.
    const QString ua = upper(a);
    const QString ub = upper(b);
    const std::uint64_t sa = signature(ua);
    const std::uint64_t sb = signature(ub);
    const std::uint64_t ss = signature(s);
    const bool oneWord = a == b;
    int best[5] = {0, 0, 0, 0, 0};
    for (const Entry& e : m_entries) {
        const std::uint64_t sur = e.signature[0];
        const std::uint64_t first = e.signature[1];
        if ((covers(sur, sb) && covers(first, sa)) || (!oneWord && covers(sur, sa) && covers(first, sb))) {
            const QStringView surname = column(e, Surname);
            const QStringView firstName = column(e, FirstName);
            if ((containsText(surname, ub) && containsText(firstName, ua)) ||
                (!oneWord && containsText(surname, ua) && containsText(firstName, ub)))
                return e.key;
        }
        if (!best[2] && covers(sur, ss) && startsWith(column(e, Surname), s)) best[2] = e.key;
        if (!best[3] && covers(first, ss) && startsWith(column(e, FirstName), s)) best[3] = e.key;
        if (!best[4] && covers(e.signature[2], ss) && startsWith(column(e, PersonalCode), s)) best[4] = e.key;
    }
    for (int rule = 2; rule <= 4; ++rule)
        if (best[rule]) return best[rule];
    return 0;
}

int PatientSearchIndex::findByPhone(const QString& text) const {
    // Phone numbers are matched as typed (blanks and a leading "+" belong to the number), without
    // regard to case as the database's "containing" does.
    const QString fragment = upper(text);
    const std::uint64_t sf = signature(fragment);
    for (const Entry& e : m_entries) {
        if (!covers(e.signature[3], sf)) continue;
        if (containsText(column(e, Phone), fragment) || containsText(column(e, Mobile), fragment)) return e.key;
    }
    return 0;
}

}  // namespace patients
