#pragma once
// The main window's message texts: built-in Italian wording, replaced by the
// dictionary's text for the selected language when it has one.

#include <QHash>
#include <QString>
#include <QStringList>

namespace vapora {

class TDataModuleMur;

class MessageTable {
public:
    MessageTable();

    // Replaces each text the dictionary knows, in table order, cut to its maximum length.
    void Load(TDataModuleMur& dictionary);

    // The text of a key; an unknown key gives an empty text.
    QString Text(const QString& key) const;

    // Composed texts.
    QString NoConnection() const;   // MessNessunaConn1 + "\n\n- " + 2 + "\n- " + 3
    QString InterfaceOld() const;   // MessInterfOld + "\n" + MessAggiornaInterf
    QString InterfaceWarning() const;
    QString FailedProgramming() const; // MessFallitaProg + "\n" + MessIstruzProg + "\n" + MessRiprova

    // Keys in load order.
    QStringList Keys() const;

private:
    struct Entry {
        QString key;
        int maxLength;
        QString text;
    };
    QList<Entry> entries_;
    QHash<QString, int> index_;
};

} // namespace vapora
