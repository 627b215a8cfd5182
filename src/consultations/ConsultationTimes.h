#pragma once
#include "app/StoreResult.h"

#include <QCoreApplication>
#include <QString>

// The rules of a consultation's start and end time and its duration: texts "hh:nn" typed into
// masked fields, where an untouched field holds only the mask's colon.
namespace consultations {

// Trims the text and puts a zero before a one-digit hour: " 9:30" -> "09:30", "8:15" -> "08:15".
QString PadTime(const QString& text);
// True for a field left empty: nothing but the mask's colon, blanks or placeholders.
bool IsBlankTime(const QString& text);

// What leaving one of the three fields does to the third: the end from start + duration, the
// duration from end - start. Empty when an input is not a valid time (or the end comes before
// the start), so that the field then shows nothing rather than something wrong.
QString EndFromDuration(const QString& start, const QString& duration);
QString DurationBetween(const QString& start, const QString& end);

// The checks of the two times before a save, in their order, with the messages the user sees and
// the field to focus ("TIME_START" or "TIME_END"). Both texts are padded on the way.
class ConsultationTimes {
    Q_DECLARE_TR_FUNCTIONS(TKonsultacijas)
public:
    static app::CardCheck Check(QString& start, QString& end);
};

}  // namespace consultations
