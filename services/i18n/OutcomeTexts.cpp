#include "services/i18n/OutcomeTexts.h"

#include "services/i18n/WindowTexts.h"
#include "model/ConfCar.h"
#include "services/ui/DialogService.h"

#include <QStringList>

namespace vapora {

QString OutcomeTexts::Text(const char* key, const QString& italian) const
{
    WindowTexts texts(dictionary_);
    return texts.Get(key, italian);
}

QString OutcomeTexts::Names(const std::vector<std::string>& keys, std::size_t total)
{
    QStringList names;
    for (std::size_t i = 0; i < keys.size() && i < kNamedKeys; ++i)
        names << QString::fromStdString(keys[i]);
    QString text = names.join(QStringLiteral(", "));
    if (total > kNamedKeys)
        text += QStringLiteral(", ...");
    return text;
}

QString OutcomeTexts::Corrected(const std::vector<std::string>& keys) const
{
    if (keys.empty())
        return {};
    return Text("MessValoriCorretti", QStringLiteral("Valori del file fuori dai limiti, corretti: %1 (%2)"))
        .arg(keys.size())
        .arg(Names(keys, keys.size()));
}

QString OutcomeTexts::Refused(const std::vector<std::string>& keys) const
{
    if (keys.empty())
        return {};
    return Text("MessValoriRifiutati", QStringLiteral("Valori rifiutati dalla centralina: %1 (%2)"))
        .arg(keys.size())
        .arg(Names(keys, keys.size()));
}

QString OutcomeTexts::Refused(const TransferOutcome& outcome) const
{
    std::vector<std::string> keys;
    for (const RefusedValue& value : outcome.refused)
        keys.push_back(value.key);
    return Refused(keys);
}

QString OutcomeTexts::Cut(const TransferOutcome& outcome) const
{
    if (!outcome.linkLost)
        return {};
    const bool read = outcome.direction == TransferOutcome::Direction::Read;
    const QString text =
        read ? Text("MessLetturaInterrotta", QStringLiteral("Collegamento perso: letti %1 di %2 gruppi. La configurazione "
                                                            "in memoria non corrisponde alla centralina."))
             : Text("MessScritturaInterrotta", QStringLiteral("Collegamento perso: scritti %1 di %2 gruppi. La centralina "
                                                              "non ha ricevuto tutta la configurazione."));
    return text.arg(outcome.groupsDone).arg(outcome.groupsTotal);
}

QString OutcomeTexts::RefusedRead(const TransferOutcome& outcome) const
{
    if (outcome.direction != TransferOutcome::Direction::Read || outcome.refusals.empty())
        return {};
    const std::vector<std::string> keys = outcome.RefusedGroupKeys();
    return Text("MessLetturaRifiutata",
                QStringLiteral("La centralina ha rifiutato la lettura di %1 di %2 gruppi: %3. La configurazione "
                               "in memoria non corrisponde alla centralina."))
        .arg(keys.size())
        .arg(outcome.groupsTotal)
        .arg(Names(keys, keys.size()));
}

QString OutcomeTexts::AfterTransfer(const ConfCar& car) const
{
    QStringList parts;
    const TransferOutcome& last = car.LastTransfer();
    for (const QString& part : {Cut(last), RefusedRead(last), Refused(last)})
        if (!part.isEmpty())
            parts << part;
    return parts.join(QStringLiteral("\n\n"));
}

QString OutcomeTexts::AfterLoad(const ConfCar& car, bool wrote) const
{
    QStringList parts;
    if (const QString corrected = Corrected(car.CorrectedKeys()); !corrected.isEmpty())
        parts << corrected;
    if (wrote)
        if (const QString transfer = AfterTransfer(car); !transfer.isEmpty())
            parts << transfer;
    return parts.join(QStringLiteral("\n\n"));
}

QString OutcomeTexts::NotMatching() const
{
    return Text("LabelNonAllineata", QStringLiteral("non corrisponde alla centralina"));
}

QString OutcomeTexts::ReadAgainQuestion() const
{
    return Text("MessRileggiDati", QStringLiteral("Il collegamento con la centralina è di nuovo attivo. Rileggere la "
                                                  "configurazione dalla centralina?"));
}

QString OutcomeTexts::ReadAgainNowQuestion() const
{
    return Text("MessRileggiOra", QStringLiteral("Rileggere ora la configurazione dalla centralina?"));
}

void OutcomeTexts::Show(DialogService& dialogs, QWidget* owner, const QString& title, const QString& text)
{
    if (!text.isEmpty())
        dialogs.Message(owner, title, text, MsgIcon::Warning);
}

} // namespace vapora
