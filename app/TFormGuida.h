#pragma once
// The help window: the guide in the program's language, rendered from its
// Markdown pages with their pictures, a contents list of pages and sections,
// and a search through every page. It stays open beside the windows it
// describes.

#include "GuideBook.h"
#include "HelpTopics.h"

#include <QHash>
#include <QSize>
#include <QWidget>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSplitter;
class QTextBrowser;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;
class QUrl;

namespace vapora {

struct AppContext;

class TFormGuida final : public QWidget {
    Q_OBJECT
public:
    explicit TFormGuida(AppContext& context, QWidget* parent = nullptr);

    // Shows the topic in the guide under guideRoot, in the dictionary's
    // language; the contents page when the topic's page is missing. False when
    // the guide has no page in any language.
    bool Open(const QString& guideRoot, const HelpTopic& topic);
    void LoadTexts();

    // Runs a search and lists the sections that hold the text.
    void Search(const QString& text);
    // Opens result row of the last search.
    void OpenResult(int row);

    QTextBrowser* Browser() const { return browser_; }
    QTreeWidget* Contents() const { return tree_; }
    QListWidget* Results() const { return results_; }
    const GuideBook& Book() const { return book_; }
    // The page shown ("maps.md") and the language folder's code ("en").
    QString CurrentPage() const;
    QString Language() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void BuildControls();
    void FillContents();
    void SourceChanged(const QUrl& url);
    void LinkClicked(const QUrl& link);
    void ShowPage(const QString& file, const QString& anchor);
    void ScrollToAnchor(const QString& anchor);
    void ScrollToHeading(const QString& heading);
    void Polish();
    void Highlight(const QString& text, bool moveToFirst);
    void FitPictures();
    void MarkCurrentPage();
    void ShowTitle();

    AppContext& ctx_;
    double scale_ = 1.0;
    GuideBook book_;
    QString page_; // the page shown, known from the moment it changes
    QString pendingAnchor_; // asked for while hidden: a hidden page has no scroll range yet
    QString searched_;
    QList<GuideHit> hits_;
    QHash<QString, QSize> pictureSizes_;

    QPushButton* buttonIndietro_ = nullptr;
    QPushButton* buttonAvanti_ = nullptr;
    QPushButton* buttonIndice_ = nullptr;
    QLabel* labelCerca_ = nullptr;
    QLineEdit* editCerca_ = nullptr;
    QPushButton* buttonCerca_ = nullptr;
    QPushButton* buttonChiudi_ = nullptr;
    QSplitter* splitter_ = nullptr;
    QTreeWidget* tree_ = nullptr;
    QLabel* labelRisultati_ = nullptr;
    QListWidget* results_ = nullptr;
    QTextBrowser* browser_ = nullptr;
    QTimer* fitTimer_ = nullptr;

    QString title_ = QStringLiteral("Guida di Vapora");
    QString resultsText_ = QStringLiteral("Sezioni che contengono il testo: %1");
    QString noResultText_ = QStringLiteral("Nessuna pagina contiene «%1».");
};

} // namespace vapora
