#pragma once
// The configuration file browser, opened by the file management window in one
// of two modes: save the record into a file of the current fuel's folder, or
// load such a file into the record and send it to the unit. It lists the
// files of the record's fuel, marks the official ones and shows each file's
// vehicle data.

#include <QDialog>

class QAbstractSpinBox;
class QButtonGroup;
class QCheckBox;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTreeWidget;
class QTreeWidgetItem;

namespace vapora {

struct AppContext;

class TFormFile final : public QDialog {
    Q_OBJECT
public:
    static constexpr int kSave = 0;
    static constexpr int kLoad = 1;

    // filesFound, when given, learns whether the file folder holds any
    // configuration file. Changes the current directory to the file folder
    // until the window closes.
    TFormFile(AppContext& context, QWidget* owner, bool* filesFound, int mode, const QString& baseFolder);
    ~TFormFile() override;

    int Mode() const { return mode_; }
    const QString& FileFolder() const { return fileFolder_; }
    // Lists the files; runs once, when the window first shows.
    void Activate();

    void ButtonOkClick();

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void DigitRefused(QAbstractSpinBox* box);
    void CreateControls();
    void LayOut();
    void LoadTexts();
    void ListFileSelectItem(QTreeWidgetItem* item);
    void CheckUfficialeClick();
    void RadioModoClick();
    void EditNameEdited(const QString& text);
    void SetDetailsReadOnly(bool readOnly, bool ccReadOnly);
    void ShowRecordDetails();
    int Scope() const;
    void LoadSelected();
    void SaveAs();
    QString WithExtension(const QString& name) const;
    QWidget* MainWindow() const;
    void RestoreDirectory();

    AppContext& ctx_;
    int mode_;
    QString baseFolder_;
    QString fileFolder_;
    bool activated_ = false;
    bool upperCase_ = true;

    QTreeWidget* listFile_ = nullptr;
    QLabel* labelFile_ = nullptr;
    QLineEdit* editName_ = nullptr;
    QCheckBox* checkUfficiale_ = nullptr;
    QCheckBox* checkMappa_ = nullptr;
    QGroupBox* radioModo_ = nullptr;
    QButtonGroup* radioItems_ = nullptr;
    QGroupBox* groupDetails_ = nullptr;
    QLineEdit* editAuto_ = nullptr;
    QLineEdit* editEuro_ = nullptr;
    QSpinBox* editCc_ = nullptr;
    QSpinBox* editValvole_ = nullptr;
    QSpinBox* editCilindri_ = nullptr;
    QDoubleSpinBox* editPotenza_ = nullptr;
    QLineEdit* editMotore_ = nullptr;
    QLineEdit* editCentralina_ = nullptr;
    QLineEdit* editCambio_ = nullptr;
    QSpinBox* editAnno_ = nullptr;
    QPushButton* buttonOk_ = nullptr;
    QPushButton* buttonAnnulla_ = nullptr;
    QProgressBar* animateFind_ = nullptr;
    QList<QWidget*> detailEdits_; // in tab order

    // Message texts, from the dictionary when it has them.
    QString messNoFoundFile_, messOverwrite_, messSaveFile_, messSaveFailed_;
    QString messCifraRifiutata_;
    QString finestraCaricaDati_, labelCaricaDati_, messCompletato_, finestraScaricaDati_, labelScaricaDati_;
};

} // namespace vapora
