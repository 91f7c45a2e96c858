// At start the program clears the scratch files and folders a killed run of its own left behind.
#include "model/ScratchFiles.h"
#include "services/platform/ScratchCleanup.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace vapora;

TEST(ScratchCleanup, StaleFilesOfTheProgramGoFromTheTemporaryAndDataFolders)
{
    QTemporaryDir main;
    ASSERT_TRUE(main.isValid());
    const QByteArray previousTmp = qgetenv("TMPDIR");
    QDir(main.path()).mkpath(QStringLiteral("tmp"));
    qputenv("TMPDIR", QFile::encodeName(main.filePath(QStringLiteral("tmp"))));

    const QString dead = QStringLiteral("2000000001");
    const QString pid = QString::number(CurrentProcessId());
    const QString owner = QString::fromStdString(ScratchOwner());
    const QStringList gone = {"tmp/_de" + owner + "-" + dead + "-0a1b2c3d.tmp",
                              "Configurazioni/~" + owner + "-" + dead + "-0a1b2c3d.tmp",
                              "Configurazioni/Metano/~" + owner + "-" + dead + "-0a1b2c3d.tmp",
                              "Calibrazione/~" + owner + "-" + dead + "-0a1b2c3d.tmp",
                              "~" + owner + "-" + dead + "-0a1b2c3d.tmp",
                              // a save under its own name, in a folder of its own
                              "tmp/_de" + owner + "-" + dead + "-0a1b2c3e.tmp/a.vap"};
    const QStringList kept = {"tmp/_de" + owner + "-" + pid + "-0a1b2c3d.tmp", // this run's
                              "tmp/_de" + owner + "-" + pid + "-0a1b2c3e.tmp/a.vap",
                              "tmp/_devtool-" + dead + "-0a1b2c3d.tmp",        // the tool's
                              "Configurazioni/~vtool-" + dead + "-0a1b2c3d.tmp",
                              "Configurazioni/~auto.vap.tmp",                  // not a scratch name
                              "tmp/_de1a2b.tmp"};                              // another program's
    for (const QString& name : gone + kept) {
        const QString path = main.filePath(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }

    EXPECT_EQ(RemoveStaleScratch(main.path()), gone.size());
    for (const QString& name : gone)
        EXPECT_FALSE(QFileInfo::exists(main.filePath(name))) << qPrintable(name);
    for (const QString& name : kept)
        EXPECT_TRUE(QFileInfo::exists(main.filePath(name))) << qPrintable(name);

    if (previousTmp.isEmpty())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", previousTmp);
}
