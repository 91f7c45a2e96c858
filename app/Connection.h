#pragma once
// The connect, disconnect, reset and fuel-choice commands of the main window.

#include "model/RestorePoints.h"
#include "model/UnitRules.h"
#include "services/ui/DialogService.h"
#include "wire/LinkChoice.h"

#include <QString>

class QWidget;

namespace vapora {

struct AppContext;
class MainPanels;

class Connection {
public:
    // owner: the main window (parent of the wait windows and message boxes).
    Connection(AppContext& context, MainPanels& panels, QWidget* owner);

    // interactive false at the silent first attempt of the start-up;
    // reload false for the reconnect without reloading (state message 3).
    // A complete read keeps a restore point for `readReason`.
    void Connect(bool interactive, bool reload, restore::Reason readReason = restore::Reason::Read);
    void Disconnect();
    void ResetUnit();
    void ChooseFuel();
    // Reads the whole configuration from a connected unit again and tells what went wrong;
    // a read the unit refused in part is offered again.
    void ReadAgain();
    // True while a connect command runs (its own read follows).
    bool Connecting() const { return connecting_; }
    // What keeps the link in force from opening, told before it is opened: no port
    // chosen, a port that does not exist, one this user may not open. Empty when
    // nothing can be seen to.
    QString PortProblem() const;
    // What the last connect found wrong with the port (empty when nothing): the
    // silent first attempt leaves it for the start's no-connection text.
    const QString& LastPortProblem() const { return portProblem_; }
    // The link setting in force and where it comes from (the library's folder,
    // the user's settings).
    sernox::wire::ResolvedLink LinkInForce() const;

    // Compatibility check of the two words against the program's level 1029;
    // today is the day number (days since 30 Dec 1899).
    using Compatibility = unitrules::Compatibility;
    static Compatibility CheckCompatibility(int wordA, int wordB, int today, int lastWarning);
    // "Versione software: 18.65" or with " - " + name from the version-name file.
    static QString VersionPanelText(const QString& label, int version, int modelCode, const QString& versionFile);
    static int Today();

private:
    // Loads the chosen fuel's reset file (and writes it to a connected unit);
    // false, with the message shown, when the file is missing or not the right one.
    bool LoadResetFile(bool methane, bool connected);
    void ReadWithWaitWindow(restore::Reason readReason = restore::Reason::Read);
    // A restore point of a complete read; told when it cannot be kept and `tell`.
    void KeepReadPoint(restore::Reason readReason, bool tell);
    // After a read that did not come whole: a cut one is told; for one the unit refused in
    // part, the groups are named and a read again is offered for as long as the user asks
    // and the unit refuses. True once a read came whole.
    bool OfferReadAfterRefusal(restore::Reason readReason = restore::Reason::Read);
    QString Title() const;
    void ShowError(const QString& text);
    MsgResult Ask(const QString& text, MsgIcon icon, MsgResult defaultButton);
    void ShowFuelPanel();

    AppContext& ctx_;
    MainPanels& panels_;
    QWidget* owner_;
    bool connecting_ = false;
    QString portProblem_;
};

} // namespace vapora
