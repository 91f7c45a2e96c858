#pragma once
// The language dictionary: a dBase table "DizVapora.dbf" whose first column
// IDENTIF holds the keys and every further column one language. Also builds
// the language menu and holds the status bar's official-file image.

#include <QHash>
#include <QIcon>
#include <QObject>
#include <QString>
#include <QStringList>

class QMenu;

namespace vapora {

class DialogService;

class TDataModuleMur : public QObject {
    Q_OBJECT
public:
    explicit TDataModuleMur(DialogService& dialogs, QObject* parent = nullptr);
    ~TDataModuleMur() override;

    // Reads the table's columns and builds the language menu. False (with the
    // open message, once per run) when the table cannot be read.
    bool Open(const QString& folder, const QString& tableName);
    bool Available() const { return available_; }

    bool BeginLookups();
    void EndLookups();

    // True and target replaced (cut to maxLength when > 0) when the key has a
    // text in the selected language; otherwise false, target untouched and, the
    // first time in the run, a message.
    bool Lookup(const QString& key, QString& target, int maxLength = 0);
    // Looks up a control's objectName and sets its text (label, button, check
    // box, action, menu, group box title, window title) when found.
    bool LookupControl(QObject* control, int maxLength = 0);

    // What the lookups since Open found wrong: keys the table lacks, texts
    // longer than the caller's limit (cut on screen) and empty texts. Each is
    // also logged as it happens, since only the first miss of a run is shown.
    const QStringList& MissedKeys() const { return missed_; }
    const QStringList& OverlongTexts() const { return overlong_; }
    const QStringList& EmptyTexts() const { return empty_; }
    void ClearFindings();

    // Ignores an index outside the language columns.
    void SelectLanguage(int index);
    int LanguageIndex() const { return language_; }
    int LanguageCount() const;
    const QStringList& ColumnNames() const { return columns_; }

    // Right-click language menu: one checkable item per language, data = index.
    QMenu* PopupMenuLingue() const { return menu_; }
    // Image 0 of the image list: the official-file mark.
    QIcon OfficialImage() const;

private:
    void ShowErrorOnce(const QString& title, const QString& text);
    // The dictionary's texts of the Qt texts the program supplies, in a language.
    QHash<QString, QString> SuppliedQtTextsIn(int language) const;

    DialogService& dialogs_;
    QMenu* menu_ = nullptr;
    bool available_ = false;
    bool errorShown_ = false;
    bool active_ = false;
    bool beginFailed_ = false; // lookups fail until the next begin or end
    int language_ = 0;
    QString path_;
    QStringList columns_;
    QStringList missed_;
    QStringList overlong_;
    QStringList empty_;
    // key -> texts by language, read at open
    struct Rows;
    Rows* rows_ = nullptr;
};

} // namespace vapora
