#pragma once
#include "consultations/Consultation.h"

#include <QHash>
#include <QPair>
#include <QVector>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace dentalchart {
class DentalChartPage;
}

namespace widgets {
class LookupCombo;
class NullableDateEdit;
}  // namespace widgets

namespace consultations {

// The upper part of the consultation page: the header panel (patient, number, date, period,
// room, specialist, assistant, notes) and the inner pages (questionnaire, diagnosis and the
// pages of the chart, plan, treatment, status and files). It shows one consultation and reads
// back what was typed; the window decides when it may be edited.
class PatientFilesPage;
class StatusPage;

class ConsultationForm : public QWidget {
    Q_OBJECT
public:
    explicit ConsultationForm(QWidget* parent = nullptr);

    void setStaff(const QVector<QPair<int, QString>>& staff);
    void setRooms(const QVector<QPair<int, QString>>& rooms);

    // Shows the consultation. The duration field shows the given duration, or end - start.
    void showConsultation(const Consultation& consultation, const QString& duration = QString());
    // Nothing shown (an empty list).
    void clearConsultation();
    // What the fields hold, over the given consultation (its other columns stay).
    Consultation collect(const Consultation& over) const;
    void setPatientName(const QString& name);
    void setEditable(bool editable);
    bool isEditable() const { return m_editable; }
    void focusField(const QString& column);

    // Controls by the column they edit: "NUMURS", "DATUMS", "TIME_START", "TIME_END", "ILGUMS",
    // "ISKLIENTS" (the patient's name), "ISKABINETS", "ISIZPILDITAJS", "ISASISTENTS", "PIEZIMES",
    // "DIAGNOZE", and the questionnaire's columns (check box) and their "_CMT" columns.
    QWidget* field(const QString& column) const;
    QComboBox* timeField(const QString& column) const;
    widgets::LookupCombo* lookup(const QString& column) const;
    QCheckBox* healthFlag(int question) const;
    QLineEdit* healthComment(int question) const;
    // "btKlients", "btKlientsInfo".
    QPushButton* button(const QString& name) const;
    QTabWidget* pages() const { return m_pages; }
    dentalchart::DentalChartPage* chartPage() const { return m_chart; }
    // The chart's palette is up while the consultation is edited and the chart page is in front.
    void showChartPalette();
    void hideChartPalette();
    StatusPage* statusPage() const { return m_status; }
    PatientFilesPage* filesPage() const { return m_files; }

    // The time fields' rules when one is left: the end from start + duration, the duration from
    // end - start.
    void startLeft();
    void endLeft();
    void durationLeft();

Q_SIGNALS:
    void patientRequested();
    void patientInfoRequested();
    // A click changed the dental chart: its stored text.
    void chartChanged(const QString& text);
    // Another consultation is shown (key 0: an unsaved one, or none).
    void consultationShown(int key);

private:
    void setTime(QComboBox* combo, const QString& text);

    QLineEdit* m_edNumurs;
    widgets::NullableDateEdit* m_dtpDatums;
    QComboBox* m_cbStart;
    QComboBox* m_cbEnd;
    QComboBox* m_cbIlgums;
    QLineEdit* m_edKlients;
    QPlainTextEdit* m_edPiezimes;
    QPlainTextEdit* m_edDiagnoze;
    QPushButton* m_btKlients;
    QPushButton* m_btInfo;
    QTabWidget* m_pages;
    dentalchart::DentalChartPage* m_chart;
    // The chart as it was read; written back as it stood (records the page could not read
    // included) until a click changes it.
    QString m_shownChart;
    bool m_chartChanged = false;
    // The shown consultation's chart is not drawn yet.
    bool m_chartToDraw = false;
    StatusPage* m_status = nullptr;
    PatientFilesPage* m_files = nullptr;
    QHash<QString, widgets::LookupCombo*> m_lookups;
    QVector<QCheckBox*> m_flags;
    QVector<QLineEdit*> m_comments;
    bool m_editable = true;
};

}  // namespace consultations
