#pragma once
// The configuration window as the main window sees it: created at start, kept
// for the whole run, shown modally by the configuration command. Its pages
// come with the editor.

#include <QDialog>

namespace vapora {

struct AppContext;

class TFormConfig final : public QDialog {
    Q_OBJECT
public:
    explicit TFormConfig(AppContext& context, QWidget* parent = nullptr);

    // Reloads the window's texts from the dictionary (after a language change).
    void LoadTexts();

    // Start folders of the recording dialogs and of the calibration files.
    void SetRecordingFolder(const QString& folder) { recordingFolder_ = folder; }
    void SetCalibrationFolder(const QString& folder) { calibrationFolder_ = folder; }
    const QString& RecordingFolder() const { return recordingFolder_; }
    const QString& CalibrationFolder() const { return calibrationFolder_; }

private:
    AppContext& ctx_;
    QString recordingFolder_;
    QString calibrationFolder_;
};

} // namespace vapora
