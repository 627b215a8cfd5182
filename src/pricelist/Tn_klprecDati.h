#pragma once
#include "pricelist/AttachedItems.h"
#include "pricelist/PriceListStore.h"

#include <QWidget>

#include <functional>

class QCheckBox;
class QTableWidget;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace pricelist {

// The "&Dati" page of the price list: the card of one manipulation. It only shows and collects
// values; the window saves them through the store.
class Tn_klprecDati : public QWidget {
    Q_OBJECT
public:
    explicit Tn_klprecDati(QWidget* parent = nullptr);

    // The groups the group list offers (every group, indented by depth).
    void setGroups(const QVector<PriceGroupRow>& groups);
    void setItem(const PriceItem& item);
    // The values as typed; values the user did not touch keep their stored precision.
    PriceItem item() const;
    const PriceItem& shownItem() const { return m_item; }
    bool isNew() const { return m_item.isn == 0; }
    void focusField(PriceListResult::Field field);
    void setEditable(bool canSave);

    QLineEdit* codeEdit() const { return m_edKods; }
    QLineEdit* nameEdit() const { return m_edGnos; }
    QLineEdit* priceEdit() const { return m_edCena; }
    QLineEdit* articleEdit() const { return m_edArtikuls; }
    QComboBox* vatCombo() const { return m_cbPvn; }
    QComboBox* groupCombo() const { return m_cbGrupa; }
    QPushButton* saveButton() const { return m_btSaglabat; }

    // "Pievienotās preces": the items a plan or treatment line of this manipulation brings along.
    QTableWidget* attachedGrid() const { return m_grdPievienotas; }
    // How the list names an item by its key.
    void setItemNames(std::function<QString(int)> nameOf) { m_nameOf = std::move(nameOf); }
    // Adds an item at its price, quantity 1.
    void addAttached(int item, double price);
    void removeAttached(int row);
    // A price or quantity in the list that is not a number: the message, with the cell made
    // current; empty when every line reads.
    QString attachedProblem();

    // 0x00BBGGRR as stored <-> QColor.
    static QColor toQColor(int stored);
    static int fromQColor(const QColor& c);

Q_SIGNALS:
    void saveRequested();
    void cancelRequested();
    void copyRequested();
    // "Pievienot" under the attached items: the window lets the user choose one.
    void attachRequested();

private:
    void showColor();
    void showAttached(const QVector<AttachedItem>& items);
    QString attachedText() const;

    PriceItem m_item;
    int m_color = 0;
    QComboBox* m_cbGrupa;
    QLineEdit* m_edKods;
    QLineEdit* m_edMisKods;
    QLineEdit* m_edArtikuls;
    QLineEdit* m_edGnos;
    QLineEdit* m_edCena;
    QLineEdit* m_edMaxCena;
    QComboBox* m_cbPvn;
    QLineEdit* m_edLaiks;
    QComboBox* m_cbAnestezija;
    QCheckBox* m_chkKoferdams;
    QPushButton* m_btKrasa;
    QLineEdit* m_edFirstNotif;
    QLineEdit* m_edSecondNotif;
    QPushButton* m_btSaglabat;
    QPushButton* m_btAtcelt;
    QPushButton* m_btKopet;
    QTableWidget* m_grdPievienotas;
    std::function<QString(int)> m_nameOf;
    // The list as stored is kept (unreadable entries included) until the user changes it.
    bool m_attachedChanged = false;
    bool m_showingAttached = false;
};

}  // namespace pricelist
