#include "services/MessageTable.h"

#include "services/i18n/TDataModuleMur.h"

namespace vapora {
namespace {

struct Builtin {
    const char* key;
    int maxLength;
    const char* italian;
};

const Builtin kBuiltins[] = {
    {"MessIdentif", 0, "Configurazione"},
    {"MessVersioneSw", 0, "Versione software"},
    {"MessConn", 0, "Centralina connessa"},
    {"MessNoConn", 0, "Centralina non connessa"},
    {"MessErrConn", 0, "Impossibile connettersi. Controllare il collegamento."},
    {"MessErrVersioneCpu", 0, "Non è possibile identificare la centralina attualmente connessa."},
    {"MessNessunaConn1", 0, "ATTENZIONE: non c'è connessione con la centralina.\nRicordarsi che:"},
    {"MessNessunaConn2", 0, "ogni modifica non potrà agire in centralina"},
    {"MessNessunaConn3", 0, "occorre salvare la configurazione prima di connettersi o verrà persa."},
    {"LabelVersione", 12, "Versione"},
    {"FinestraCaricaDati", 0, "Caricamento dati dalla centralina"},
    {"FinestraScaricaDati", 0, "Scaricamento dati in centralina"},
    {"LabelCaricaDati", 0, "Caricamento dati in corso: attendere..."},
    {"LabelScaricaDati", 0, "Scaricamento dati in centralina: attendere..."},
    {"MessCpuErrata", 0, "La centralina attualmente connessa non è compatibile.\nImpossibile connettersi"},
    {"MessInterfOld", 0, "Impossibile connettersi alla centralina corrente."},
    {"MessAggiornaInterf", 0, "Richiedere alla MURAZZONI un programma più aggiornato."},
    {"MessWarningInterf", 0, "Possono verificarsi errori nel caricamento di alcuni dati."},
    {"MessCompletato", 20, " Completato "},
    {"MessProgKO", 0, "Impossibile effettuare la programmazione."},
    {"LabelRiprogInCorso", 0, "Programmazione in corso. Attendere..."},
    {"FinestraRiprogramma", 0, "Aggiornamento software centralina"},
    {"MessFallitaProg", 0, "Il tentativo precedente è fallito."},
    {"MessIstruzProg", 0, "Togliere i 12V batteria e provare entro 10 secondi."},
    {"MessRiprova", 0, "Riprovare ?"},
    {"MessTentativo", 15, "Tentativo"},
    {"MessInitCpu", 0, "Inizializzazione centralina in corso..."},
    {"MessBattLow", 0, "ATTENZIONE: tensione di batteria insufficiente; Riprovare?"},
    {"MessNoFileReset", 0, "File di reset non trovato: resettare comunque?"},
    {"MessConfermaReset", 0, "Sei sicuro di voler effettuare un reset della centralina?"},
    {"LabelReset", 0, "Reset centralina in corso. Attendere..."},
    {"LabelMetano", 0, "Metano"},
    {"LabelGpl", 0, "GPL"},
    {"MessNoCambioCarb", 0, "Impossibile effettuare il cambio di carburante. File mancante."},
    {"MessConfermaCarb", 0, "Sei sicuro di voler cambiare il carburante della centralina?"},
    {"MessFileCorrotto", 0, "Attenzione: alcuni dati su file sono corrotti o danneggiati."},
    {"MessContatto", 0, "Rivolgersi al fornitore del software per la risoluzione del problema."},
    {"MessSaveFile", 0, "Salvare i dati in memoria in un file?"},
    {"FinestraSconnetti", 0, "Disconnessione"},
    {"MessSconnetti", 30, "Disconnessione in corso..."},
    {"MessProgOK", 0, "Programmazione eseguita correttamente."},
    {"MessFileUff", 0, "File ufficiale"},
};

} // namespace

MessageTable::MessageTable()
{
    for (const Builtin& b : kBuiltins) {
        index_.insert(QString::fromLatin1(b.key), static_cast<int>(entries_.size()));
        entries_.append({QString::fromLatin1(b.key), b.maxLength, QString::fromUtf8(b.italian)});
    }
}

void MessageTable::Load(TDataModuleMur& dictionary)
{
    for (Entry& e : entries_)
        dictionary.Lookup(e.key, e.text, e.maxLength);
}

QString MessageTable::Text(const QString& key) const
{
    const auto it = index_.find(key);
    return it == index_.end() ? QString() : entries_[*it].text;
}

QString MessageTable::NoConnection() const
{
    return Text("MessNessunaConn1") + "\n\n- " + Text("MessNessunaConn2") + "\n- " + Text("MessNessunaConn3");
}

QString MessageTable::InterfaceOld() const { return Text("MessInterfOld") + "\n" + Text("MessAggiornaInterf"); }

QString MessageTable::InterfaceWarning() const
{
    return Text("MessWarningInterf") + "\n" + Text("MessAggiornaInterf");
}

QString MessageTable::FailedProgramming() const
{
    return Text("MessFallitaProg") + "\n" + Text("MessIstruzProg") + "\n" + Text("MessRiprova");
}

QStringList MessageTable::Keys() const
{
    QStringList keys;
    for (const Entry& e : entries_)
        keys << e.key;
    return keys;
}

} // namespace vapora
