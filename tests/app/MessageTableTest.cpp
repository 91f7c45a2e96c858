#include "services/MessageTable.h"

#include <gtest/gtest.h>

using namespace vapora;

TEST(MessageTable, BuiltInTextsAndComposedMessages)
{
    MessageTable t;
    EXPECT_EQ(t.Text("MessConn"), "Centralina connessa");
    EXPECT_EQ(t.Text("MessCompletato"), " Completato ");
    EXPECT_EQ(t.Text("NoSuchKey"), "");
    EXPECT_EQ(t.NoConnection(),
              QString::fromUtf8("ATTENZIONE: non c'è connessione con la centralina.\nRicordarsi che:\n\n- ogni modifica "
                                "non potrà agire in centralina\n- occorre salvare la configurazione prima di "
                                "connettersi o verrà persa."));
    EXPECT_EQ(t.InterfaceOld(), QString::fromUtf8("Impossibile connettersi alla centralina corrente.\nRichiedere alla "
                                                  "MURAZZONI un programma più aggiornato."));
    EXPECT_TRUE(t.FailedProgramming().endsWith("\nRiprovare ?"));
    EXPECT_EQ(t.Keys().first(), "MessIdentif");
    EXPECT_TRUE(t.Keys().contains("MessFileUff"));
}
