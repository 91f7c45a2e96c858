// Program entry: everything happens in Program, so tests can run the same start.
#include "model/Clock.h"
#include "app/Program.h"
#include "services/ui/DialogService.h"
#include "services/ui/WindowScaleStyle.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    vapora::UseWindowScaleStyle();
    vapora::QtDialogService dialogs;
    int code = 0;
    {
        vapora::Program program(dialogs, vapora::SystemClock());
        if (program.Start() == vapora::Program::Outcome::Started)
            code = program.Exec();
    }
    return code;
}
