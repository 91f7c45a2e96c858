#include "TFormGuida.h"

#include "services/AppContext.h"
#include "services/i18n/TDataModuleMur.h"
#include "services/i18n/WindowTexts.h"
#include "services/ui/Scaling.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImageReader>
#include <QKeyEvent>
#include <QLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QSplitter>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextList>
#include <QTextTable>
#include <QTextDocument>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <utility>

namespace vapora {
namespace {

constexpr int kFileRole = Qt::UserRole;
constexpr int kHeadingRole = Qt::UserRole + 1;
constexpr int kAnchorRole = Qt::UserRole + 2;

const QColor kFound(255, 236, 120);
constexpr int kShortestFind = 12; // shorter beginnings of a message find too much

} // namespace

TFormGuida::TFormGuida(AppContext& context, QWidget* parent) : QWidget(parent, Qt::Window), ctx_(context)
{
    setObjectName(QStringLiteral("FormGuida"));
    setWindowTitle(title_);
    scale_ = ScreenScale();
    UseWindowFont(this, scale_, 12);
    fitTimer_ = new QTimer(this);
    fitTimer_->setSingleShot(true);
    fitTimer_->setInterval(0);
    connect(fitTimer_, &QTimer::timeout, this, &TFormGuida::FitPictures);
    BuildControls();

    // Wide screens keep the program in view on the left; narrow ones give the guide all of it.
    const QRect area = AvailableArea();
    const QSize frame = FrameReserve();
    const int height = area.height() - frame.height();
    const int width = area.width() >= 1280 ? area.width() * 3 / 5 : area.width() - frame.width();
    resize(width, height);
    move(area.x() + area.width() - width - frame.width(), area.top());
    splitter_->setSizes({width * 3 / 10, width * 7 / 10});
    LoadTexts();
}

void TFormGuida::BuildControls()
{
    auto button = [this](const char* name, const QString& text) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    buttonIndietro_ = button("ButtonIndietro", QStringLiteral("&Indietro"));
    buttonAvanti_ = button("ButtonAvanti", QStringLiteral("&Avanti"));
    buttonIndice_ = button("ButtonIndice", QStringLiteral("&Sommario"));
    buttonCerca_ = button("ButtonCerca", QStringLiteral("Ce&rca"));
    buttonChiudi_ = button("ButtonChiudi", QStringLiteral("C&hiudi"));
    labelCerca_ = new QLabel(QStringLiteral("Testo da &cercare:"), this);
    labelCerca_->setObjectName(QStringLiteral("LabelCerca"));
    editCerca_ = new QLineEdit(this);
    editCerca_->setObjectName(QStringLiteral("EditCerca"));
    editCerca_->setClearButtonEnabled(true);
    labelCerca_->setBuddy(editCerca_);

    tree_ = new QTreeWidget(this);
    tree_->setObjectName(QStringLiteral("TreeIndice"));
    tree_->setHeaderHidden(true);
    tree_->setTextElideMode(Qt::ElideNone);
    tree_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tree_->header()->setStretchLastSection(false);
    labelRisultati_ = new QLabel(this);
    labelRisultati_->setObjectName(QStringLiteral("LabelRisultati"));
    labelRisultati_->setWordWrap(true);
    results_ = new QListWidget(this);
    results_->setObjectName(QStringLiteral("ListRisultati"));
    results_->setTextElideMode(Qt::ElideNone);
    labelRisultati_->hide();
    results_->hide();

    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("BrowserGuida"));
    // Links name headings by their marks, which the page does not carry: the window follows them.
    browser_->setOpenExternalLinks(false);
    browser_->setOpenLinks(false);
    browser_->document()->setDocumentMargin(Scaled(scale_, 10));
    browser_->viewport()->installEventFilter(this); // pictures follow the page's width

    auto* left = new QWidget(this);
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->addWidget(tree_, 3);
    leftLayout->addWidget(labelRisultati_);
    leftLayout->addWidget(results_, 2);
    splitter_ = new QSplitter(Qt::Horizontal, this);
    splitter_->setObjectName(QStringLiteral("SplitterGuida"));
    splitter_->addWidget(left);
    splitter_->addWidget(browser_);
    splitter_->setStretchFactor(1, 1);
    splitter_->setChildrenCollapsible(false);

    auto* top = new QHBoxLayout;
    top->addWidget(buttonIndietro_);
    top->addWidget(buttonAvanti_);
    top->addWidget(buttonIndice_);
    top->addSpacing(Scaled(scale_, 12));
    top->addWidget(labelCerca_);
    top->addWidget(editCerca_, 1);
    top->addWidget(buttonCerca_);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(buttonChiudi_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(Scaled(scale_, 6), Scaled(scale_, 6), Scaled(scale_, 6), Scaled(scale_, 6));
    layout->addLayout(top);
    layout->addWidget(splitter_, 1);
    layout->addLayout(bottom);

    buttonIndietro_->setEnabled(false);
    buttonAvanti_->setEnabled(false);
    connect(browser_, &QTextBrowser::backwardAvailable, buttonIndietro_, &QWidget::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, buttonAvanti_, &QWidget::setEnabled);
    connect(buttonIndietro_, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    connect(buttonAvanti_, &QPushButton::clicked, browser_, &QTextBrowser::forward);
    connect(buttonIndice_, &QPushButton::clicked, this, [this] { ShowPage(QStringLiteral("index.md"), {}); });
    connect(buttonChiudi_, &QPushButton::clicked, this, &QWidget::close);
    connect(buttonCerca_, &QPushButton::clicked, this, [this] { Search(editCerca_->text()); });
    connect(editCerca_, &QLineEdit::returnPressed, this, [this] { Search(editCerca_->text()); });
    connect(browser_, &QTextBrowser::sourceChanged, this, &TFormGuida::SourceChanged);
    connect(browser_, &QTextBrowser::anchorClicked, this, &TFormGuida::LinkClicked);
    connect(tree_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        const QString anchor = item->data(0, kAnchorRole).toString();
        ShowPage(item->data(0, kFileRole).toString(), anchor);
        if (anchor.isEmpty()) {
            const QString heading = item->data(0, kHeadingRole).toString();
            if (heading.isEmpty())
                browser_->verticalScrollBar()->setValue(0);
            else
                ScrollToHeading(heading);
        }
    });
    connect(tree_, &QTreeWidget::itemClicked, tree_, &QTreeWidget::itemActivated);
    connect(results_, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { OpenResult(results_->row(item)); });
    connect(results_, &QListWidget::itemClicked, results_, &QListWidget::itemActivated);
    auto* find = new QShortcut(QKeySequence::Find, this);
    connect(find, &QShortcut::activated, this, [this] {
        editCerca_->setFocus(Qt::ShortcutFocusReason);
        editCerca_->selectAll();
    });
}

void TFormGuida::LoadTexts()
{
    WindowTexts texts(ctx_.dictionary);
    for (QObject* control : std::initializer_list<QObject*>{buttonIndietro_, buttonAvanti_, buttonIndice_, labelCerca_,
                                                            buttonCerca_, buttonChiudi_})
        texts.Control(control);
    title_ = texts.Get("FinestraGuida", title_);
    resultsText_ = texts.Get("LabelRisultati", resultsText_);
    noResultText_ = texts.Get("MessNessunRisultato", noResultText_);
    ShowTitle();
    if (!searched_.isEmpty())
        Search(searched_);
}

QString TFormGuida::CurrentPage() const { return page_; }

QString TFormGuida::Language() const { return QFileInfo(book_.Folder()).fileName(); }

bool TFormGuida::Open(const QString& guideRoot, const HelpTopic& topic)
{
    if (layout() != nullptr)
        layout()->activate(); // the page's width decides where its headings lie
    const TDataModuleMur* d = ctx_.dictionary;
    const QString column = d != nullptr ? d->ColumnNames().value(d->LanguageIndex() + 1) : QString();
    const QString folder = GuideLanguageFolder(guideRoot, column);
    if (folder.isEmpty())
        return false;
    if (book_.Folder() != folder) {
        book_ = GuideBook::Read(folder);
        pictureSizes_.clear();
        browser_->clearHistory();
        FillContents();
    }
    if (book_.IsEmpty())
        return false;
    LoadTexts();
    const bool known = book_.Page(topic.page) != nullptr;
    ShowPage(known ? topic.page : QStringLiteral("index.md"), known ? topic.anchor : QString());
    if (known && !topic.find.isEmpty()) {
        // A message carries numbers and names the page does not: its longest beginning the page has.
        QString find = topic.find.simplified();
        while (find.size() > kShortestFind && browser_->document()->find(LooseMatch(find)).isNull())
            find = find.left(std::max<qsizetype>(0, find.lastIndexOf(u' '))).trimmed();
        if (find.size() > kShortestFind)
            Highlight(find, true);
    }
    return true;
}

void TFormGuida::FillContents()
{
    tree_->clear();
    for (const GuidePage& page : book_.Pages()) {
        auto* item = new QTreeWidgetItem(tree_, {page.Title()});
        item->setData(0, kFileRole, page.file);
        QTreeWidgetItem* section = nullptr;
        for (const GuideHeading& h : page.headings) {
            if (h.level < 2)
                continue;
            QTreeWidgetItem* parent = h.level == 3 && section != nullptr ? section : item;
            auto* child = new QTreeWidgetItem(parent, {h.text});
            child->setData(0, kFileRole, page.file);
            child->setData(0, kHeadingRole, h.text);
            child->setData(0, kAnchorRole, h.anchor);
            if (h.level == 2)
                section = child;
        }
    }
}

void TFormGuida::ShowPage(const QString& file, const QString& anchor)
{
    QUrl url = QUrl::fromLocalFile(QDir(book_.Folder()).filePath(file));
    if (!anchor.isEmpty())
        url.setFragment(anchor);
    if (browser_->source() != url)
        browser_->setSource(url, QTextDocument::MarkdownResource);
    ScrollToAnchor(anchor); // also the same place again: back to it
}

void TFormGuida::LinkClicked(const QUrl& link)
{
    const QUrl target = browser_->source().resolved(link);
    const QString file = QFileInfo(target.toLocalFile()).fileName();
    if (!target.isLocalFile() || book_.Page(file) == nullptr)
        return; // the guide links only to its own pages
    ShowPage(file, target.fragment());
}

void TFormGuida::SourceChanged(const QUrl& url)
{
    // The browser's own source() may still name the page before.
    page_ = QFileInfo(url.toLocalFile()).fileName();
    ShowTitle();
    Polish();
    FitPictures();
    MarkCurrentPage();
    if (!searched_.isEmpty())
        Highlight(searched_, false);
    else
        browser_->setExtraSelections({});
    ScrollToAnchor(url.fragment());
}

void TFormGuida::ScrollToAnchor(const QString& anchor)
{
    if (!isVisible()) {
        pendingAnchor_ = anchor;
        return;
    }
    const GuidePage* page = book_.Page(CurrentPage());
    const GuideHeading* heading = page != nullptr ? page->Anchored(anchor) : nullptr;
    if (heading != nullptr)
        ScrollToHeading(heading->text);
    else
        browser_->verticalScrollBar()->setValue(0);
}

void TFormGuida::Polish()
{
    // Markdown gives paragraphs no spacing: room between them, and above headings.
    QTextDocument* doc = browser_->document();
    const QFontMetricsF metrics(doc->defaultFont());
    QTextCursor cursor(doc);
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        cursor.setPosition(block.position());
        if (cursor.currentTable() != nullptr)
            continue;
        QTextBlockFormat format = block.blockFormat();
        if (const QTextList* list = block.textList()) {
            // Only the list's last item keeps its distance from what follows.
            if (list->item(list->count() - 1) != block)
                continue;
            format.setBottomMargin(metrics.height() * 0.5);
        } else if (format.headingLevel() > 0) {
            format.setTopMargin(metrics.height() * (format.headingLevel() == 1 ? 0.2 : 0.9));
            format.setBottomMargin(metrics.height() * 0.3);
        } else {
            format.setBottomMargin(metrics.height() * 0.5);
        }
        cursor.setBlockFormat(format);
    }
}

void TFormGuida::ShowTitle()
{
    const GuidePage* page = book_.Page(page_);
    const QString title = page != nullptr ? page->Title() : QString();
    setWindowTitle(title.isEmpty() || title == title_ ? title_ : title_ + QStringLiteral(" - ") + title);
}

void TFormGuida::MarkCurrentPage()
{
    // Only the page shown is open in the contents, and it is the one marked.
    for (int i = 0; i < tree_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = tree_->topLevelItem(i);
        const bool current = item->data(0, kFileRole).toString() == page_;
        item->setExpanded(current);
        const QTreeWidgetItem* marked = tree_->currentItem();
        if (current && (marked == nullptr || marked->data(0, kFileRole).toString() != page_))
            tree_->setCurrentItem(item);
    }
}

void TFormGuida::ScrollToHeading(const QString& heading)
{
    for (QTextBlock block = browser_->document()->begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() == 0 || block.text().simplified() != heading)
            continue;
        const QRectF rect = browser_->document()->documentLayout()->blockBoundingRect(block);
        browser_->verticalScrollBar()->setValue(static_cast<int>(rect.top()));
        QTextCursor cursor(block);
        browser_->setTextCursor(cursor);
        // The contents list follows to the section.
        const auto items = tree_->findItems(heading, Qt::MatchExactly | Qt::MatchRecursive);
        for (QTreeWidgetItem* item : items)
            if (item->data(0, kFileRole).toString() == page_)
                tree_->setCurrentItem(item);
        return;
    }
}

void TFormGuida::Search(const QString& text)
{
    searched_ = text.trimmed();
    if (editCerca_->text().trimmed() != searched_)
        editCerca_->setText(searched_);
    hits_ = book_.Search(searched_);
    results_->clear();
    for (const GuideHit& hit : hits_) {
        const GuidePage* page = book_.Page(hit.file);
        const QString where = page != nullptr && page->Title() != hit.heading
                                  ? page->Title() + QStringLiteral(" \u203A ") + hit.heading
                                  : hit.heading;
        auto* item = new QListWidgetItem(QStringLiteral("%1 (%2)").arg(where).arg(hit.count), results_);
        item->setToolTip(hit.snippet);
    }
    const bool searching = !searched_.isEmpty();
    labelRisultati_->setVisible(searching);
    results_->setVisible(searching && !hits_.isEmpty());
    labelRisultati_->setText(hits_.isEmpty() ? noResultText_.arg(searched_) : resultsText_.arg(hits_.size()));
    if (searching)
        Highlight(searched_, false);
    else
        browser_->setExtraSelections({});
    if (!hits_.isEmpty() && editCerca_->hasFocus())
        OpenResult(0);
}

void TFormGuida::OpenResult(int row)
{
    if (row < 0 || row >= hits_.size())
        return;
    const GuideHit& hit = hits_[row];
    results_->setCurrentRow(row);
    ShowPage(hit.file, {});
    const GuidePage* page = book_.Page(hit.file);
    if (page != nullptr && hit.heading != page->Title())
        ScrollToHeading(hit.heading);
    else
        browser_->verticalScrollBar()->setValue(0);
    Highlight(searched_, true);
}

void TFormGuida::Highlight(const QString& text, bool moveToFirst)
{
    QList<QTextEdit::ExtraSelection> marks;
    if (!text.isEmpty()) {
        const QRegularExpression pattern = LooseMatch(text);
        QTextDocument* doc = browser_->document();
        QTextCursor found = doc->find(pattern, 0);
        while (!found.isNull()) {
            QTextEdit::ExtraSelection mark;
            mark.cursor = found;
            mark.format.setBackground(kFound);
            marks.append(mark);
            found = doc->find(pattern, found);
        }
        if (moveToFirst && !marks.isEmpty()) {
            // The first one at or below what is in view, else the first of the page.
            const int from = browser_->cursorForPosition(QPoint(0, 0)).position();
            QTextCursor target = marks.first().cursor;
            for (const auto& m : marks)
                if (m.cursor.selectionStart() >= from) {
                    target = m.cursor;
                    break;
                }
            browser_->setTextCursor(target);
            browser_->ensureCursorVisible();
        }
    }
    browser_->setExtraSelections(marks);
}

void TFormGuida::FitPictures()
{
    // Pictures are made for a 1024-pixel screen: shown whole, never wider than the page.
    QTextDocument* doc = browser_->document();
    const int room = browser_->viewport()->width() - 2 * static_cast<int>(doc->documentMargin()) - 4;
    if (room <= 0)
        return;
    const QDir folder(book_.Folder());
    // The text at the top of the view stays there while the pictures change size.
    QAbstractTextDocumentLayout* layout = doc->documentLayout();
    const int viewTop = browser_->verticalScrollBar()->value();
    const QTextBlock topBlock = browser_->cursorForPosition(QPoint(0, 0)).block();
    const double intoBlock = viewTop - layout->blockBoundingRect(topBlock).top();
    bool changed = false;
    QTextCursor cursor(doc);
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.charFormat().isImageFormat())
                continue;
            QTextImageFormat format = fragment.charFormat().toImageFormat();
            const QString path = folder.filePath(format.name());
            if (!pictureSizes_.contains(path))
                pictureSizes_.insert(path, QImageReader(path).size());
            const QSize natural = pictureSizes_.value(path);
            if (!natural.isValid())
                continue;
            const double k = natural.width() > room ? double(room) / natural.width() : 1.0;
            const double width = natural.width() * k;
            if (qFuzzyCompare(format.width(), width))
                continue;
            format.setWidth(width);
            format.setHeight(natural.height() * k);
            cursor.setPosition(fragment.position());
            cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            cursor.setCharFormat(format);
            changed = true;
        }
    }
    if (changed && viewTop > 0 && topBlock.isValid())
        browser_->verticalScrollBar()->setValue(static_cast<int>(layout->blockBoundingRect(topBlock).top() + intoBlock));
}

bool TFormGuida::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == browser_->viewport() && event->type() == QEvent::Resize)
        fitTimer_->start();
    return QWidget::eventFilter(watched, event);
}

void TFormGuida::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!pendingAnchor_.isNull()) {
        layout()->activate();
        FitPictures();
        ScrollToAnchor(std::exchange(pendingAnchor_, QString()));
    }
}

void TFormGuida::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace vapora
