#pragma once
// The firmware programming command: choose the file, decode an encoded one,
// program with up to three attempts, reconnect to the new firmware.

class QWidget;

namespace vapora {

struct AppContext;
class Connection;
class TFormScarica;

// owner: the main window (its caption titles the final message).
void ProgramFirmware(AppContext& context, TFormScarica& fileWindow, Connection& connection, QWidget* owner);

} // namespace vapora
