#pragma once
#include "app/Session.h"
#include "references/NonReceivingTimes.h"
#include "references/ReferenceCard.h"

class QCheckBox;
class QComboBox;
class QListWidget;
class QTabWidget;

namespace widgets {
class ColorBox;
}

namespace references {

// The specialist card "Dati par speciālistu": the person's data with the calendar colour, and the
// page "Aizņemtie laiki" with the dates and weekdays on which the specialist does not receive.
// The non-receiving lists of a stored specialist are written as soon as they change.
class Tn_agentsEdit : public ReferenceCard {
    Q_OBJECT
public:
    explicit Tn_agentsEdit(app::Session& session, QWidget* parent = nullptr);

    widgets::ColorBox* colorBox() const { return m_color; }
    QTabWidget* pages() const { return m_pages; }

    // The controls of the two non-receiving lists: [0] dates, [1] weekdays.
    struct BusyControls {
        QWidget* day = nullptr;  // widgets::NullableDateEdit for dates, QComboBox for weekdays
        QCheckBox* allDays = nullptr;
        QComboBox* from = nullptr;
        QComboBox* to = nullptr;
        QCheckBox* allTimes = nullptr;
        QListWidget* list = nullptr;
        QVector<NonReceivingLine> lines;
    };
    BusyControls& busy(int which) { return m_busy[which]; }
    void addBusyLine(int which);
    void removeBusyLine(int which);

protected:
    void fillExtra(const QVariantHash& values) override;
    void collectExtra(QVariantHash& values) const override;

private:
    QWidget* makeBusyBox(int which, const QString& title);
    void showBusy(int which);
    void storeBusy(int which);
    static QString column(int which);

    QTabWidget* m_pages;
    widgets::ColorBox* m_color;
    QCheckBox* m_blokets;
    BusyControls m_busy[2];
};

}  // namespace references
