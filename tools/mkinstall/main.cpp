// Writes the program's main folder tree: vapora-mkinstall OUTDIR
#include "InstallData.h"

#include <iostream>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: vapora-mkinstall OUTDIR\n";
        return 1;
    }
    std::string error;
    if (!vapora::install::WriteInstallation(argv[1], error)) {
        std::cerr << "vapora-mkinstall: " << error << "\n";
        return 1;
    }
    return 0;
}
