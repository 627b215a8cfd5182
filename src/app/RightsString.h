#pragma once
#include <QString>
#include <QStringList>
#include <QVector>

namespace app {

// One function of the program that a user may be given, with the caption the rights window shows.
struct RightsFunction {
    QString code;     // two digits, "00" .. "16"
    QString caption;  // e.g. "Sar.-Bankas"
};

// A user's rights string (N_USERS.IESPEJAS) and the edits the rights window makes to it.
//
// The string is a run of 7-character entries "cc_PPPP" without separators: the two-digit code,
// "_", and "T" or "F" for view, change, add and delete. Entries keep the order in which they were
// added; a code has at most one entry. The entry of a code is found as the first occurrence of
// code + "_", the same search HasRight and the main menu make, so what this class reads is what
// they grant.
class RightsString {
public:
    RightsString() = default;
    explicit RightsString(QString text) : m_text(std::move(text)) {}

    // The functions of the rights window (one per rights code of the window catalogue), in code order.
    static const QVector<RightsFunction>& functions();
    // The code of a caption of functions(); empty when it is none of them.
    static QString codeOfCaption(const QString& caption);
    // "T"/"F" letters for the four permissions view, change, add, delete.
    static QString letters(bool view, bool change, bool add, bool remove);

    const QString& text() const { return m_text; }

    bool contains(const QString& code) const;
    // The four permission letters of the code's entry; empty when the code has none.
    QString lettersOf(const QString& code) const;

    // Gives the user the function: an existing entry only gets the new letters, otherwise the
    // entry is appended at the end.
    void grant(const QString& code, const QString& letters);
    // Rewrites the letters of an existing entry; does nothing for a code without one.
    void setLetters(const QString& code, const QString& letters);
    // Cuts the code's 7-character entry out; the other entries stay as they are.
    void revoke(const QString& code);

    // Captions of the functions the string holds and of those it does not, both sorted.
    QStringList chosenCaptions() const;
    QStringList otherCaptions() const;

private:
    qsizetype entryAt(const QString& code) const;
    QString m_text;
};

}  // namespace app

namespace app {

// The function codes whose menu entries the main window enables for a user. "ADMIN" gets every
// code. For everyone else the string is walked entry by entry: the code is the entry's first two
// characters and it counts when the letter after the entry's "_" (view) is "T".
QStringList MenuCodesGranted(const QString& userName, const QString& rights);

}  // namespace app
