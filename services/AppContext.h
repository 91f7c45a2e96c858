#pragma once
// The process-wide objects every window works with.

#include <QString>

namespace vapora {

class SerialLink;
class ConfCar;
class GlobalData;
class TDataModuleMur;
class DialogService;
class Clock;
class MessageTable;

struct AppContext {
    SerialLink* link = nullptr;
    ConfCar* car = nullptr;
    GlobalData* settings = nullptr;
    TDataModuleMur* dictionary = nullptr;
    DialogService* dialogs = nullptr;
    Clock* clock = nullptr;
    MessageTable* messages = nullptr; // the main window's message texts
    QString mainFolder;               // set when the main window shows
    QString libraryFolder;            // where the link library and its SerNoxDL.conf are
    QString applicationTitle = QStringLiteral("Vapora");
};

} // namespace vapora
