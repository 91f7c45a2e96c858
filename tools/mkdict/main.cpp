// vapora-mkdict IN.txt [MORE.txt ...] OUT.dbf: turns the dictionary's text
// tables into the dBase table the program reads. The first table is the main
// one; later ones add the keys it lacks. Any malformed row or text that does
// not fit fails the whole run, so a shipped table is never silently cut.
#include "services/i18n/DictionarySource.h"

#include <QString>
#include <QStringList>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: vapora-mkdict IN.txt [MORE.txt ...] OUT.dbf\n");
        return 1;
    }
    QStringList sources;
    for (int i = 1; i < argc - 1; ++i)
        sources << QString::fromLocal8Bit(argv[i]);
    QString error;
    if (!vapora::MakeDictionary(sources, QString::fromLocal8Bit(argv[argc - 1]), &error)) {
        std::fprintf(stderr, "vapora-mkdict: %s\n", error.toLocal8Bit().constData());
        return 1;
    }
    return 0;
}
