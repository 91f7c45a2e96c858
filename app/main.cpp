// Program entry: everything happens in Program, so tests can run the same start.
#include "model/Clock.h"
#include "app/Program.h"
#include "services/ui/DialogService.h"
#include "services/ui/WindowScaleStyle.h"

#include <QApplication>
#include <QFileInfo>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    vapora::UseWindowScaleStyle();
    vapora::QtDialogService dialogs;
    vapora::ProgramOptions options;
    // Files to open ("vapora car.vap", as the desktop starts it), made absolute here:
    // the program may change its folder before it opens them.
    const QStringList arguments = QCoreApplication::arguments();
    for (qsizetype i = 1; i < arguments.size(); ++i)
        if (!arguments[i].isEmpty())
            options.files << QFileInfo(arguments[i]).absoluteFilePath();
    int code = 0;
    {
        vapora::Program program(dialogs, vapora::SystemClock(), options);
        if (program.Start() == vapora::Program::Outcome::Started)
            code = program.Exec();
    }
    return code;
}
