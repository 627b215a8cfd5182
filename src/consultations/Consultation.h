#pragma once
#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

namespace consultations {

// One question of the general health questionnaire: a yes/no column and its comment column
// (the same name with "_CMT").
struct HealthQuestion {
    const char* column;
    const char* caption;
};

// The eleven questions in the order the questionnaire page shows them.
inline const QVector<HealthQuestion>& HealthQuestions() {
    static const QVector<HealthQuestion> questions{
        {"KUNGIS_ZARNAS", QT_TRANSLATE_NOOP("TKonsultacijas", "Kuņģa-zarnu tr.slimības")},
        {"SIRDS_ASINSVADI", QT_TRANSLATE_NOOP("TKonsultacijas", "Sirds-asinsvadu slimības")},
        {"NIERES", QT_TRANSLATE_NOOP("TKonsultacijas", "Nieru slimības")},
        {"EPILEPSIJA", QT_TRANSLATE_NOOP("TKonsultacijas", "Epilepsija")},
        {"DIABETS", QT_TRANSLATE_NOOP("TKonsultacijas", "Diabēts")},
        {"ASINS_RECESANA", QT_TRANSLATE_NOOP("TKonsultacijas", "Asins reces traucējumi")},
        {"ASINS_SLIMIBAS", QT_TRANSLATE_NOOP("TKonsultacijas", "Asins slimības")},
        {"IZMAINITS_SPIEDIENS", QT_TRANSLATE_NOOP("TKonsultacijas", "Izmainīts asinsspiediens")},
        {"ALERGIJA", QT_TRANSLATE_NOOP("TKonsultacijas", "Alerģija")},
        {"HEPATITS", QT_TRANSLATE_NOOP("TKonsultacijas", "Hepatīts")},
        {"AIDS", QT_TRANSLATE_NOOP("TKonsultacijas", "AIDS")},
    };
    return questions;
}

// A questionnaire comment is kept in a column of this width.
constexpr int HealthCommentWidth = 250;
// Width of O_KONSULTACIJA_HD.NUMURS.
constexpr int NumberWidth = 20;

// The answer to one question.
struct HealthAnswer {
    bool yes = false;
    QString comment;
    bool operator==(const HealthAnswer&) const = default;
};

// A consultation's header as the register edits it: the header panel, the questionnaire, the
// diagnosis and the dental chart. Keys of 0 mean "nothing chosen"; 1 is the default row "not set"
// of patients and staff. The columns of the status page are not part of it and a save leaves them
// as they are; plan and treatment lines are rows of their own.
struct Consultation {
    int isn = 0;             // 0 = not stored yet
    QString number;          // NUMURS
    QDate date;              // the day of DATUMS; a save stamps it with the time of day
    QDateTime storedDate;    // DATUMS as read (invalid for a new one)
    int patient = 1;         // ISKLIENTS
    int specialist = 1;      // ISIZPILDITAJS
    int assistant = 0;       // ISASISTENTS, optional
    int room = 0;            // ISKABINETS
    int type = 0;            // ISVEIDS
    int request = 0;         // ISKONSULTPIET: the request it was made from
    QString timeStart;       // TIME_START "hh:nn"
    QString timeEnd;         // TIME_END "hh:nn"
    QString notes;           // PIEZIMES
    QString diagnosis;       // DIAGNOZE
    QString chart;           // ZOBU_KARTE, the dental chart's stored text
    QVector<HealthAnswer> health = QVector<HealthAnswer>(HealthQuestions().size());
    bool rejected = false;   // DZESTS = 1
    QString patientName;     // "UZVARDS VARDS" of the patient
    QVariant readStamp;      // IEVDAT_EDIT as read; a save over a later change is refused
    // The status page: the five periodontal rows, the status texts and MUTES_HIGIENA, by column
    // (StatusColumns()).
    QHash<QString, QVariant> status;
};

// The columns of the status page.
inline const QStringList& StatusColumns() {
    static const QStringList columns{
        QStringLiteral("KUSTIGUMS"), QStringLiteral("KABATAS"),    QStringLiteral("ZOBAKMENS"),
        QStringLiteral("APLIKUMS"),  QStringLiteral("ZOBUFORMULA"), QStringLiteral("GLOTADA"),
        QStringLiteral("SAKODIENS"), QStringLiteral("DENINI"),      QStringLiteral("PROTEZES"),
        QStringLiteral("RENTGENS_1"), QStringLiteral("RENTGENS_2"), QStringLiteral("RENTGENS_3"),
        QStringLiteral("TM_LOCITAVA"), QStringLiteral("MUTES_HIGIENA")};
    return columns;
}

// The specialist and consultation type a new consultation starts with.
struct ConsultationDefaults {
    int specialist = 1;
    int type = 0;
};

}  // namespace consultations
