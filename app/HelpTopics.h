#pragma once
// Which place of the guide belongs to which window: the help key opens the
// guide there. Windows are known by their class; the configuration window by
// the page it shows; a message box by the troubleshooting page, at its text.

#include <QList>
#include <QString>

class QWidget;

namespace vapora {

struct HelpTopic {
    QString page;   // "display-diagnosis.md"
    QString anchor; // "diagnosi", or empty for the top of the page
    QString find;   // text to look for on the page, or empty
};

// The topic of the window a widget lies in: its own, or that of the nearest
// window above it that has one; the contents page otherwise.
HelpTopic HelpTopicFor(const QWidget* widget);

// The contents page.
HelpTopic ContentsTopic();

// Every window class and configuration page the guide covers, with its topic
// as "page.md#anchor".
struct TopicEntry {
    QString name; // class name ("TFormDiagnosi") or configuration page ("TabMappa")
    QString topic;
};
QList<TopicEntry> WindowTopics();
QList<TopicEntry> ConfigPageTopics();

// "page.md#anchor" as a topic.
HelpTopic ParseTopic(const QString& topic);

} // namespace vapora
