#include "widgets/FileMessages.h"

#include "services/i18n/WindowTexts.h"

namespace vapora {

QString FileErrorText(WindowTexts& texts, FileError error)
{
    switch (error) {
    case FileError::NotFound:
        return texts.Get("MessFileMancante", QStringLiteral("Il file o la sua cartella non esiste."));
    case FileError::IsFolder:
        return texts.Get("MessFileCartella", QString::fromUtf8("Il nome scelto è una cartella, non un file."));
    case FileError::PathTooLong:
        return texts.Get("MessPercorsoLungo", QStringLiteral("Il percorso del file supera il limite di %1 caratteri."))
            .arg(kPathMax);
    case FileError::NameTooLong:
        return texts.Get("MessNomeLungo", QString::fromUtf8("Il nome del file è troppo lungo per la sua cartella."));
    case FileError::NotConfiguration:
        return texts.Get("MessFileNonValido", QString::fromUtf8("Il file non è un file di configurazione valido."));
    case FileError::ReadOnly:
        return texts.Get("MessFileSolaLettura",
                         QString::fromUtf8("Il file è di sola lettura e non è stato modificato."));
    case FileError::Permission:
        return texts.Get("MessFilePermesso", QStringLiteral("Accesso al file negato."));
    case FileError::DiskFull:
        return texts.Get("MessDiscoPieno", QString::fromUtf8("Il disco è pieno."));
    case FileError::TempMissing:
        return texts.Get("MessTempMancante",
                         QString::fromUtf8("La cartella temporanea manca o non è scrivibile."));
    case FileError::TempFull:
        return texts.Get("MessTempPieno", QString::fromUtf8("La cartella temporanea è piena."));
    case FileError::None:
    case FileError::Other:
        break;
    }
    return {};
}

QString FileFailureMessage(WindowTexts& texts, const QString& headline, FileError error)
{
    const QString cause = FileErrorText(texts, error);
    return cause.isEmpty() ? headline : headline + QLatin1Char('\n') + cause;
}

} // namespace vapora
