#pragma once
#include "app/Session.h"
#include "app/WindowRegistry.h"
#include "pricelist/PriceListFilter.h"
#include "pricelist/PriceListStore.h"

#include <QDialog>

class QAction;
class QLineEdit;
class QMenu;
class QPushButton;
class QSplitter;
class QStatusBar;
class QTabWidget;
class QTableView;
class QTreeWidget;
class QTreeWidgetItem;

namespace models {
class ResultTableModel;
}

namespace pricelist {

class Tn_klprecDati;

// "Manipulāciju grupas ar precēm": the price-group tree above the manipulations of the selected
// group, with the card of the current manipulation on its own page. Non-modal as a register;
// modal in selection mode, where a double-click or Enter returns the manipulation's key.
class Tn_klprec : public QDialog {
    Q_OBJECT
public:
    explicit Tn_klprec(app::Session& session, QWidget* parent = nullptr, bool selectionMode = false);
    ~Tn_klprec() override;

    // Opens the price list modally on the given manipulation; the chosen key, 0 when cancelled.
    static int choose(app::Session& session, int currentKey, QWidget* parent = nullptr);
    int chosenKey() const { return m_chosenKey; }

    // ---- What the window's controls do (public so that tests can drive them) -------------------
    void reloadTree();
    void selectGroup(int isn);
    int currentGroup() const;
    int currentItemKey() const;
    void reloadItems(int keepKey = 0);
    // Positions the tree and the list on a manipulation; false when it is not shown.
    bool goToItem(int isn);

    void newGroup();
    void newChildGroup();
    void editGroup();
    void dropGroup(int dragged, int target);
    void moveGroupToTop();
    void deleteGroup();

    void newItem();
    void copyItem();
    // False when a check or the database refused (the message was shown).
    bool saveItem();
    // True when the card shows values typed and not saved.
    bool cardChanged() const;
    // "Aizvērt", Esc and the close box: typed values on the card are saved or dropped as the
    // user answers "Vai saglabāt izmaiņas ?".
    void reject() override;
    void cancelItem();
    // "Pievienot" of the card's attached items: the price list in selection mode, then the chosen
    // item at its price.
    void chooseAttached();
    void deleteItems();
    void searchItem(const QString& text);
    void searchNext();
    void quickSearch(const QString& text);
    void setFilter(const PriceListFilter& filter);
    const PriceListFilter& filter() const { return m_filter; }
    void setOrder(const QString& order);
    QString order() const { return m_order; }

    // Rights of the logged-on user under "02", read again whenever the window is activated.
    void refreshRights();

    QTreeWidget* groupTree() const { return m_tvGroups; }
    QTableView* itemGrid() const { return m_grd; }
    models::ResultTableModel* itemModel() const { return m_model; }
    Tn_klprecDati* card() const { return m_card; }
    QTabWidget* pages() const { return m_pages; }
    QLineEdit* quickSearchEdit() const { return m_edQuick; }
    QSplitter* splitter() const { return m_splitter; }
    QStatusBar* statusBar() const { return m_status; }
    PriceListStore& store() { return m_store; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildUi();
    void buildActions();
    void showCurrentItem();
    void showFilterState();
    void onGroupRenamed(QTreeWidgetItem* node);
    void pick();
    void showError(const PriceListResult& r);
    bool ask(const QString& caption, const QString& text);
    void inform(const QString& text);
    QList<int> selectedKeys() const;
    void restoreSettings();
    void saveSettings();

    app::Session& m_session;
    PriceListStore m_store;
    bool m_selectionMode;
    int m_chosenKey = 0;
    bool m_mayEdit = false;
    bool m_mayAdd = false;
    bool m_mayDelete = false;
    bool m_building = false;
    bool m_inserting = false;
    PriceListFilter m_filter;
    QString m_order = QStringLiteral("GNOS");
    QList<int> m_hits;
    int m_hitPos = -1;
    int m_restoreSplit = 0;
    bool m_shownBefore = false;
    bool m_splitDone = false;  // the split is set at the first showing only  // tree height to apply once the window is laid out

    QSplitter* m_splitter = nullptr;
    QTreeWidget* m_tvGroups = nullptr;
    QTabWidget* m_pages = nullptr;
    QLineEdit* m_edQuick = nullptr;
    QTableView* m_grd = nullptr;
    models::ResultTableModel* m_model = nullptr;
    Tn_klprecDati* m_card = nullptr;
    QMenu* m_groupMenu = nullptr;
    QStatusBar* m_status = nullptr;
    QPushButton* m_btClearFilter = nullptr;
    QList<QAction*> m_addActions;
    QList<QAction*> m_deleteActions;
};

// Gives the main window the price list.
void RegisterWindows(app::WindowRegistry& registry);
// Gives the other subsystems the price list as a picker.
void RegisterPicker(app::Session& session);

}  // namespace pricelist
