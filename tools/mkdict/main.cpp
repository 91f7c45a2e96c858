// vapora-mkdict IN.txt OUT.dbf: turns the dictionary's text table into the
// dBase table the program reads. Any malformed row or text that does not fit
// fails the whole run, so a shipped table is never silently cut.
#include "i18n/DictionarySource.h"

#include <QString>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: vapora-mkdict IN.txt OUT.dbf\n");
        return 1;
    }
    QString error;
    if (!vapora::MakeDictionary(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]), &error)) {
        std::fprintf(stderr, "vapora-mkdict: %s\n", error.toLocal8Bit().constData());
        return 1;
    }
    return 0;
}
