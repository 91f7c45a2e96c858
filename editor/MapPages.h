#pragma once
// The contents of the configuration window's "Mappa" and "Mappa benzina"
// pages: the map grids, their buttons and check box, the menus the window
// puts in its menu bar ("A&dattatività", "Acquisizione mappa benzina"), the
// learned-point commands and the petrol correction of the live strip. The
// window builds them once, calls the shown handlers when a page becomes the
// active one, and answers the live questions through LiveMapSource.

#include <QString>
#include <QWidget>

class QAction;
class QCheckBox;
class QLabel;
class QMenu;
class QPushButton;

namespace vapora {

struct AppContext;
class GasMapGrid;
class LiveMapSource;
class MapTools;
class PetrolMapGrid;
class TFormModMappa;

struct MapPageDeps {
    AppContext& ctx;
    LiveMapSource& live;
    TFormModMappa* modify; // the window's one modification dialog
};

class GasMapPage final : public QWidget {
    Q_OBJECT
public:
    GasMapPage(const MapPageDeps& deps, QWidget* parent = nullptr);

    GasMapGrid* DrawGridMap() const { return grid_; }
    MapTools* Tools() const { return tools_; }
    QLabel* LabelUsaMap() const { return labelUsaMap_; }
    QCheckBox* CheckAdattativita() const { return checkAdatta_; }
    QPushButton* ButtonCentriCelle() const { return buttonCentriCelle_; }
    // "A&dattatività": MenuAbilitaAdatta (Ctrl+F9), MenuMostraAdatta, MenuAzzeraAdatta.
    QMenu* MenuAdatta() const { return menuAdatta_; }
    QAction* MenuAbilitaAdatta() const { return abilita_; }
    QAction* MenuMostraAdatta() const { return mostra_; }
    QAction* MenuAzzeraAdatta() const { return azzera_; }

    // The load axis of the unit: pressure rows show LabelUsaMap and magenta
    // fixed cells, throttle rows dark teal ones.
    void UpdateLoadAxis();
    void LoadTexts();

    void TabMappaShow();
    void MenuAbilitaAdattaClick(bool on);
    void MenuMostraAdattaClick();
    void CheckAdattativitaClick();
    void MenuAzzeraAdattaClick();
    void ButtonCentriCelleClick();

private:
    AppContext& ctx_;
    LiveMapSource& live_;
    GasMapGrid* grid_;
    MapTools* tools_;
    QLabel* labelUsaMap_;
    QLabel* labelConfronto_;
    QCheckBox* checkAdatta_;
    QPushButton* buttonCentriCelle_;
    QMenu* menuAdatta_;
    QAction* abilita_;
    QAction* mostra_;
    QAction* azzera_;
    QString messResetAdatta_;
};

class PetrolMapPage final : public QWidget {
    Q_OBJECT
public:
    PetrolMapPage(const MapPageDeps& deps, QWidget* parent = nullptr);

    PetrolMapGrid* DrawGridMapBenz() const { return grid_; }
    MapTools* Tools() const { return tools_; }
    QPushButton* ButtonCentriCelleBenz() const { return buttonCentriCelle_; }
    // "Acquisizione mappa benzina": MenuApprendi (Space, while this page has
    // the focus), MenuCaricaAppresi, MenuSalvaAppresi, MenuCancellaAppresi, MenuInterpola.
    QMenu* MenuAcquisizioneBenzina() const { return menu_; }
    QAction* MenuApprendi() const { return apprendi_; }
    QAction* MenuCaricaAppresi() const { return carica_; }
    QAction* MenuSalvaAppresi() const { return salva_; }
    QAction* MenuCancellaAppresi() const { return cancella_; }
    QAction* MenuInterpola() const { return interpola_; }

    // The menu is shown, and completion allowed, exactly while the page is.
    void SetPageAvailable(bool available);
    void LoadTexts();

    // The petrol correction at the live point; notAvailable without a petrol map.
    int PetrolCorrectionNow() const;
    QString CorrectionText(const QString& notAvailable) const;

    void TabMappaBenzinaShow();
    void ButtonCentriCelleBenzClick();
    void MenuApprendiClick();
    void MenuSalvaAppresiClick();
    void MenuCaricaAppresiClick();
    void MenuCancellaAppresiClick();
    void MenuInterpolaClick();

private:
    void Error(const QString& text);
    QString Caption() const;

    AppContext& ctx_;
    LiveMapSource& live_;
    PetrolMapGrid* grid_;
    MapTools* tools_;
    QLabel* labelConfronto_;
    QPushButton* buttonCentriCelle_;
    QMenu* menu_;
    QAction* apprendi_;
    QAction* carica_;
    QAction* salva_;
    QAction* cancella_;
    QAction* interpola_;
};

// Put the page contents on the window's pages (each gets a layout holding
// only the contents) and hand them back.
GasMapPage* BuildGasMapPage(QWidget* tabMappa, const MapPageDeps& deps);
PetrolMapPage* BuildPetrolMapPage(QWidget* tabMappaBenzina, const MapPageDeps& deps);

} // namespace vapora
