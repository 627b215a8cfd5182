#pragma once
#include "consultations/ConsultationList.h"

#include <QDate>
#include <QString>
#include <QStringList>

namespace consultations {

// The choices of the request filter "Pieteikumu atlase". Both periods include their last day; a
// patient, requester or specialist of 0 or 1 and a type of 0 mean any.
struct RequestFilter {
    static constexpr const char* SettingsSection = "PieteikumiFiltrs";

    // Whether the request waits for an earlier slot ("Var pirms šī laika").
    enum Waiting { AnyWaiting = 0, OnlyWaiting = 1, NotWaiting = 2 };

    QDate from;  // DATUMS, the day the request was taken
    QDate to;
    bool plannedOn = false;  // the planned-date period applies
    QDate plannedFrom;       // PLAN_DAT
    QDate plannedTo;
    int patient = 1;
    int taker = 1;
    int specialist = 1;
    int type = 0;
    QString number;  // exact number, empty = any
    bool showRejected = false;
    int waiting = AnyWaiting;

    // The stored filter of this workstation; a value missing or unreadable keeps its default (the
    // last month up to today for both periods, the planned one off, nothing else chosen).
    static RequestFilter Read(const QDate& today = QDate::currentDate());
    void write() const;

    bool operator==(const RequestFilter&) const = default;
};

// The grid's fields in column order.
const QStringList& RequestGridFields();
// The ORDER BY text of a click on a grid column title; empty for a column that does not sort
// (the list then keeps its order). The list starts in the order of DefaultRequestOrder().
QString RequestOrderBy(const QString& field);
QString DefaultRequestOrder();

// The list of requests: the filter's pieces, every typed value bound, and the date of the
// consultation made from each request (IZPILDITS_DAT) read in the same statement; sorted by the
// grid field whose title was clicked last (empty: none).
ListQuery RequestListQuery(const RequestFilter& filter, const QString& sortField = QString());

}  // namespace consultations
