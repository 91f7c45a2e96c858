#pragma once
// A restore point beside the record: every value a configuration file keeps
// that differs, both in engineering units, and the two maps through the map
// tools' comparison.

#include "model/ParamCatalogue.h"
#include "model/RestorePoints.h"

#include <QDialog>

#include <functional>
#include <vector>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace vapora {

struct AppContext;

class TFormConfrontoRipristino final : public QDialog {
    Q_OBJECT
public:
    static constexpr int kWidth = 720;
    static constexpr int kHeight = 480;

    // pointRecord: the point loaded into a record of its own.
    TFormConfrontoRipristino(AppContext& context, const restore::Point& point, const ConfCar& pointRecord,
                             std::function<void(bool petrol)> compareMap, QWidget* owner);

    QTreeWidget* Table() const { return tableDifferenze_; }
    const std::vector<params::ValueDifference>& Differences() const { return differences_; }

private:
    void LoadTexts(const restore::Point& point);

    AppContext& ctx_;
    std::function<void(bool)> compareMap_;
    std::vector<params::ValueDifference> differences_;
    QLabel* labelConfronto_ = nullptr;
    QTreeWidget* tableDifferenze_ = nullptr;
    QPushButton* buttonMappaGas_ = nullptr;
    QPushButton* buttonMappaBenzina_ = nullptr;
    QPushButton* buttonChiudi_ = nullptr;
};

} // namespace vapora
