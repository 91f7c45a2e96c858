#include "HelpTopics.h"

#include <QApplication>
#include <QMessageBox>
#include <QMetaObject>
#include <QScrollArea>
#include <QTabWidget>
#include <QWidget>

namespace vapora {
namespace {

const TopicEntry kWindows[] = {
    {QStringLiteral("TFormMain"), QStringLiteral("start.md#finestra-principale")},
    {QStringLiteral("TFormSplash"), QStringLiteral("start.md#avvio")},
    {QStringLiteral("TAboutBox"), QStringLiteral("start.md#informazioni")},
    {QStringLiteral("TFormAttesa"), QStringLiteral("connection.md#attesa")},
    {QStringLiteral("TFormSceltaCarb"), QStringLiteral("fuel-reset.md#carburante")},
    {QStringLiteral("TFormPortaSeriale"), QStringLiteral("connection.md#porta-seriale")},
    {QStringLiteral("TFormScarica"), QStringLiteral("firmware.md#programmazione")},
    {QStringLiteral("TFormGestioneFile"), QStringLiteral("files.md#gestione-file")},
    {QStringLiteral("TFormFile"), QStringLiteral("files.md#elenco-file")},
    {QStringLiteral("TFormSaveOption"), QStringLiteral("files.md#opzioni-salvataggio")},
    {QStringLiteral("TFormConfig"), QStringLiteral("configuration.md#finestra")},
    {QStringLiteral("TFormModMappa"), QStringLiteral("maps.md#variazione-celle")},
    {QStringLiteral("TFormCentriCelle"), QStringLiteral("maps.md#riferimenti")},
    {QStringLiteral("TFormCentriCelleBenz"), QStringLiteral("maps.md#riferimenti")},
    {QStringLiteral("TFormTemperatura"), QStringLiteral("configuration.md#temperatura")},
    {QStringLiteral("TFormPressione"), QStringLiteral("configuration.md#pressione")},
    {QStringLiteral("TFormVisualizza"), QStringLiteral("display-diagnosis.md#visualizzazione")},
    {QStringLiteral("TFormDiagnosi"), QStringLiteral("display-diagnosis.md#diagnosi")},
    {QStringLiteral("TFormGraficoDrt"), QStringLiteral("recording.md#grafico")},
    {QStringLiteral("TFormSceltaCal"), QStringLiteral("calibration.md#scelta")},
    {QStringLiteral("TFormCalibrazione"), QStringLiteral("calibration.md#guidata")},
    {QStringLiteral("TFormCalibra2"), QStringLiteral("calibration.md#minimo-clima")},
    {QStringLiteral("TFormCalibraStrada"), QStringLiteral("calibration.md#strada")},
    {QStringLiteral("TFormParCalStrada"), QStringLiteral("calibration.md#parametri-strada")},
    {QStringLiteral("TFormGuida"), QStringLiteral("index.md#guida")},
    {QStringLiteral("TFormPuntiRipristino"), QStringLiteral("restore-points.md#finestra-ripristino")},
    {QStringLiteral("TFormConfrontoRipristino"), QStringLiteral("restore-points.md#finestra-ripristino")},
};

const TopicEntry kConfigPages[] = {
    {QStringLiteral("TabCambio"), QStringLiteral("configuration.md#giri-cambio")},
    {QStringLiteral("TabLambda"), QStringLiteral("configuration.md#lambda")},
    {QStringLiteral("TabTps"), QStringLiteral("configuration.md#tps")},
    {QStringLiteral("TabSensore"), QStringLiteral("configuration.md#emulazione-livello")},
    {QStringLiteral("TabCutoff"), QStringLiteral("configuration.md#cutoff")},
    {QStringLiteral("TabMappa"), QStringLiteral("maps.md#mappa-gas")},
    {QStringLiteral("TabArricchimento"), QStringLiteral("configuration.md#arricchimenti")},
    {QStringLiteral("TabEmissioni"), QStringLiteral("configuration.md#emissioni")},
    {QStringLiteral("TabVarie"), QStringLiteral("configuration.md#varie")},
    {QStringLiteral("TabMappaBenzina"), QStringLiteral("maps.md#mappa-benzina")},
};

QString ClassName(const QWidget* widget)
{
    const QString name = QString::fromLatin1(widget->metaObject()->className());
    return name.section(QStringLiteral("::"), -1);
}

QString Lookup(const TopicEntry* begin, const TopicEntry* end, const QString& name)
{
    for (const TopicEntry* e = begin; e != end; ++e)
        if (e->name == name)
            return e->topic;
    return {};
}

// The configuration window's topic follows its page.
QString ConfigPageTopic(const QWidget* window)
{
    const auto* pages = window->findChild<QTabWidget*>(QStringLiteral("PageControl"));
    if (pages == nullptr || pages->currentWidget() == nullptr)
        return {};
    const QWidget* page = pages->currentWidget();
    if (const auto* scroll = qobject_cast<const QScrollArea*>(page); scroll != nullptr && scroll->widget() != nullptr)
        page = scroll->widget();
    return Lookup(std::begin(kConfigPages), std::end(kConfigPages), page->objectName());
}

} // namespace

HelpTopic ParseTopic(const QString& topic)
{
    return {topic.section(u'#', 0, 0), topic.section(u'#', 1), {}};
}

HelpTopic ContentsTopic() { return {QStringLiteral("index.md"), {}, {}}; }

HelpTopic HelpTopicFor(const QWidget* widget)
{
    const QWidget* window = widget != nullptr ? widget->window() : nullptr;
    // A pop-up menu belongs to the window it drops from.
    if (window != nullptr && window->windowType() == Qt::Popup)
        window = window->parentWidget() != nullptr ? window->parentWidget()->window() : QApplication::activeWindow();
    for (; window != nullptr; window = window->parentWidget() != nullptr ? window->parentWidget()->window() : nullptr) {
        if (const auto* box = qobject_cast<const QMessageBox*>(window)) {
            HelpTopic topic{QStringLiteral("troubleshooting.md"), {}, {}};
            topic.find = box->text().section(u'\n', 0, 0).trimmed();
            return topic;
        }
        const QString name = ClassName(window);
        if (name == QLatin1String("TFormConfig"))
            if (const QString page = ConfigPageTopic(window); !page.isEmpty())
                return ParseTopic(page);
        if (const QString topic = Lookup(std::begin(kWindows), std::end(kWindows), name); !topic.isEmpty())
            return ParseTopic(topic);
    }
    return ContentsTopic();
}

QList<TopicEntry> WindowTopics() { return {std::begin(kWindows), std::end(kWindows)}; }

QList<TopicEntry> ConfigPageTopics() { return {std::begin(kConfigPages), std::end(kConfigPages)}; }

} // namespace vapora
