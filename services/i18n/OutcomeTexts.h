#pragma once
// What a load or a whole transfer did, told in the user's language: values of a file
// brought into range, values or groups the unit refused, a transfer cut by a lost link.

#include <QString>

#include <string>
#include <vector>

class QWidget;

namespace vapora {

class ConfCar;
class DialogService;
class TDataModuleMur;
struct TransferOutcome;

class OutcomeTexts {
public:
    // How many keys a message names before it stops.
    static constexpr std::size_t kNamedKeys = 5;

    explicit OutcomeTexts(TDataModuleMur* dictionary) : dictionary_(dictionary) {}

    // Each is empty when there is nothing to tell.
    QString Corrected(const std::vector<std::string>& keys) const;
    QString Refused(const TransferOutcome& outcome) const;
    QString Refused(const std::vector<std::string>& keys) const;
    QString Cut(const TransferOutcome& outcome) const;
    // The groups the unit refused to give in a read.
    QString RefusedRead(const TransferOutcome& outcome) const;
    // The corrections of the record's last load and, when `wrote`, what its last
    // transfer left undone; paragraphs joined by a blank line.
    QString AfterLoad(const ConfCar& car, bool wrote) const;
    // What the last transfer left undone (cut, refused groups of a read, refused values).
    QString AfterTransfer(const ConfCar& car) const;

    // The mark of a configuration that does not match the unit.
    QString NotMatching() const;
    // Asked when the link is back after a read it cut.
    QString ReadAgainQuestion() const;
    // Asked at once after a read the unit refused in part.
    QString ReadAgainNowQuestion() const;

    // Shows `text` as a warning when it is not empty.
    static void Show(DialogService& dialogs, QWidget* owner, const QString& title, const QString& text);

private:
    QString Text(const char* key, const QString& italian) const;
    static QString Names(const std::vector<std::string>& keys, std::size_t total);

    TDataModuleMur* dictionary_;
};

} // namespace vapora
