#pragma once
// The restore points window: the points kept in the main folder's "Storico",
// newest first, by default those of the connected unit's configuration; for
// the one selected, a comparison with the record, a restore into the unit,
// opening it as a file without a unit, and deletion.

#include "model/RestorePoints.h"

#include <QDialog>

#include <functional>
#include <vector>

class QCheckBox;
class QLabel;
class QPushButton;
class QTreeWidget;

namespace vapora {

struct AppContext;
class WindowTexts;

class TFormPuntiRipristino final : public QDialog {
    Q_OBJECT
public:
    static constexpr int kWidth = 760;
    static constexpr int kHeight = 500;
    enum Column { kColWhen, kColReason, kColConfig, kColVehicle, kColSoftware, kColFuel, kColumns };

    // What the window asks the program to do with a point.
    struct Actions {
        // Into the connected unit through the file load path; true when it was loaded.
        std::function<bool(const restore::Point&)> restore;
        // Into the record as a file, with no unit connected.
        std::function<bool(const restore::Point&)> open;
        // The gas (petrol false) or petrol map beside the point's, in the map tools' comparison.
        std::function<void(const restore::Point&, bool petrol)> compareMap;
    };

    TFormPuntiRipristino(AppContext& context, Actions actions, QWidget* owner);

    void LoadTexts();
    // Lists the points again from the folder.
    void Refresh();

    QTreeWidget* List() const { return listPunti_; }
    QCheckBox* ShowAll() const { return checkTutti_; }
    // The points as listed, row by row.
    const std::vector<restore::Point>& Listed() const { return listed_; }
    void Select(int row);

    void ButtonConfrontaClick();
    void ButtonRipristinaClick();
    void ButtonApriClick();
    void ButtonEliminaClick();

    // The texts a row shows for a point.
    static QStringList RowTexts(WindowTexts& texts, const restore::Point& point);

private:
    const restore::Point* Selected() const;
    void UpdateButtons();
    bool Connected() const;

    AppContext& ctx_;
    Actions actions_;
    std::vector<restore::Point> listed_;

    QCheckBox* checkTutti_ = nullptr;
    QTreeWidget* listPunti_ = nullptr;
    QLabel* labelNessunPunto_ = nullptr;
    QPushButton* buttonConfronta_ = nullptr;
    QPushButton* buttonRipristina_ = nullptr;
    QPushButton* buttonApri_ = nullptr;
    QPushButton* buttonElimina_ = nullptr;
    QPushButton* buttonEsci_ = nullptr;
    QLabel* labelNota_ = nullptr;
};

} // namespace vapora
