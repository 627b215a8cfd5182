#pragma once
#include <QString>
#include <QStringView>
#include <QVector>

#include <cstdint>
#include <vector>

namespace patients {

// The columns of one patient that the quick search compares, as stored.
struct PatientSearchRow {
    int key = 0;
    QString surname;
    QString firstName;
    QString personalCode;
    QString phone;
    QString mobile;
};

// The quick patient search answered from memory: the same key FindPatient's statements give, in
// well under a millisecond at any register size that fits a clinic.
//
// Patients are kept in key order in one character pool, each with a 64-bit signature per compared
// column (which characters occur in it). A fragment can only occur in a column whose signature
// holds the fragment's, so a search walks the compact signatures in key order and compares text
// only for the few patients that pass; the first match in key order is the lowest key, as the
// statement's ordering wants.
//
// The comparisons are the database's: the columns are upper-cased as the clinic's character set
// upper-cases them; "containing" upper-cases the fragment the same way; "starting with" compares
// the already normalised text as it is.
class PatientSearchIndex {
public:
    // Replaces the whole content (rows in any order; the default patient, key 1, is ignored).
    void assign(const QVector<PatientSearchRow>& rows);
    // Adds or replaces one patient.
    void upsert(const PatientSearchRow& row);
    void remove(int key);
    int size() const { return int(m_entries.size()); }
    bool contains(int key) const;

    // The key FindPatient would answer for the typed text, 0 when none.
    int find(const QString& text) const;

    // A character as the database's UPPER gives it in the clinic's character set (Windows-1257):
    // the Unicode upper case where that is a character of the set, else the character itself.
    static char16_t upper(char16_t c);
    static QString upper(QStringView text);

private:
    enum Column { Surname, FirstName, PersonalCode, Phone, Mobile, ColumnCount };
    struct Entry {
        int key = 0;
        std::uint32_t offset = 0;            // of the first column in the pool
        std::uint8_t length[ColumnCount]{};  // every compared column is at most 200 characters
        std::uint64_t signature[4]{};        // surname, first name, personal code, both phones
    };

    static std::uint64_t signature(QStringView text);
    QStringView column(const Entry& e, Column c) const;
    Entry makeEntry(const PatientSearchRow& row);
    void compactIfWasteful();
    int findByRules(const QString& s, const QString& a, const QString& b) const;
    int findByPhone(const QString& text) const;

    std::vector<Entry> m_entries;  // ascending key
    std::vector<char16_t> m_pool;
    std::size_t m_garbage = 0;  // pool characters no entry refers to any more
};

}  // namespace patients
