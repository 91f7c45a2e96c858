#pragma once
// The main window: a full-screen menu of large labels with an arrow, the menu
// bar and actions, and the four-panel status bar. Every other window opens
// from here.

#include "Connection.h"
#include "FileCommands.h"
#include "MainPanels.h"
#include "services/MessageTable.h"
#include "TFormSplash.h"
#include "services/platform/OpenInEditor.h"

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <utility>
#include <vector>

class QAction;
class QLabel;
class QMenu;

namespace vapora {

struct AppContext;
class GuideHelp;
class StatusBarMain;
class TFormConfig;
class TFormScarica;

class TFormMain final : public QMainWindow, public MainPanels {
    Q_OBJECT
public:
    static constexpr int kEntries = 7; // LabelConfig .. LabelTermina

    // Sets context.messages to the window's message table. The context's
    // dictionary may come later (it is created after the main window).
    explicit TFormMain(AppContext& context, QWidget* parent = nullptr);
    ~TFormMain() override;

    void SetScaricaForm(TFormScarica* form) { scarica_ = form; }
    void SetConfigForm(TFormConfig* form) { config_ = form; }

    // MainPanels
    void SetPanelText(int panel, const QString& text) override;
    QString PanelText(int panel) const override;
    void RepaintStatusBar() override;

    // The show handler ended the program (no dictionary).
    bool Terminated() const { return terminated_; }
    // The show handler, which runs once the shown window is on screen, is over.
    bool ShowHandled() const { return showHandled_; }
    // Index of the highlighted entry (the arrow's Tag).
    int Highlighted() const { return arrowTag_; }
    QLabel* Entry(int index) const { return entries_[index]; }
    TFormSplash* Splash() const { return splash_; }
    Connection& Connector() { return connection_; }
    GuideHelp* Guide() const { return guide_; }
    const MessageTable& Messages() const { return messages_; }
    double Scale() const { return scale_; }
    // Start folder and titles of the configuration file dialogs.
    const QString& OpenDialogFolder() const { return openFolder_; }
    const QString& OpenDialogTitle() const { return openTitle_; }
    const QString& SaveDialogTitle() const { return saveTitle_; }

    // Opens each file as File → open does, once the start is over and no
    // other window of the program is open (the command line, another copy).
    void OpenFiles(const QStringList& files);
    // Settings → Serial port.
    void ChoosePort();

    // The window's texts, in the order the dictionary is read.
    void LoadTexts();
    void LayoutVertical();
    void LayoutHorizontal();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void customEvent(QEvent* event) override;

private:
    void CreateLabels();
    void CreateActions();
    void CreateMenus();
    QAction* NewAction(const char* name, const QString& caption, const QKeySequence& shortcut = {});
    QAction* NewMenuItem(QMenu* menu, const char* name, QAction* action);
    void SyncMenuItem(QAction* item, QAction* action);

    void FormShow();
    void CloseSplash();
    void LanguageClick(QAction* item);
    void StateMessage(int lParam);
    void RewritePanel1();
    // The configuration name panel and the title say when the record does not match the
    // unit (a transfer cut by a lost link); once the link is back a read is offered.
    void ShowMatchMark();
    void OfferReadAgain();
    void Highlight(int index);
    void MouseOver(int index);
    void RunEntry(int index);
    void ShowAbout();
    void ShowConfig();
    // File → Restore points.
    void ShowRestorePoints();
    // The configuration window's gas or petrol map beside a file's.
    void CompareMapWithFile(const QString& file, bool petrol);
    void OpenPendingFiles();

    AppContext& ctx_;
    MessageTable messages_;
    Connection connection_;
    SystemTextEditor textEditor_;
    FileCommands files_;
    double scale_ = 1.0;
    QPointer<TFormSplash> splash_;
    uint32_t splashStart_ = 0;
    bool shown_ = false;
    bool terminated_ = false;
    bool laidOut_ = false;
    bool showHandled_ = false;
    int arrowTag_ = 0;
    TFormScarica* scarica_ = nullptr; // both live for the whole run
    TFormConfig* config_ = nullptr;
    GuideHelp* guide_ = nullptr; // the help key in every window, and the help window

    QLabel* labelMenu_ = nullptr;
    std::array<QLabel*, kEntries> entries_{};
    std::array<QAction*, kEntries> entryActions_{};
    QLabel* arrow_ = nullptr;
    StatusBarMain* statusBar_ = nullptr;
    QWidget* client_ = nullptr;

    QString matchMark_;            // what ShowMatchMark appended to the title
    bool readAgainOffered_ = false; // asked once per return of the link
    QString openFolder_, saveFolder_;
    QString openTitle_ = QStringLiteral("Apri file di configurazione");
    QString saveTitle_ = QStringLiteral("Salva file di configurazione");
    std::vector<std::pair<QAction*, QAction*>> menuLinks_; // menu item, its action
    QStringList pendingFiles_;
    bool pendingScheduled_ = false;
};

} // namespace vapora
