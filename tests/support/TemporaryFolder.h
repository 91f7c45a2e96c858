#pragma once
// Points the system's temporary folder (TMPDIR, or TMP and TEMP on Windows) at a
// folder of the test's own; an empty folder clears the setting.

#include <cstdlib>
#include <string>

namespace vapora::test {

inline void SetTemporaryFolder(const std::string& folder)
{
#ifdef _WIN32
    _putenv_s("TMP", folder.c_str());
    _putenv_s("TEMP", folder.c_str());
#else
    if (folder.empty())
        unsetenv("TMPDIR");
    else
        setenv("TMPDIR", folder.c_str(), 1);
#endif
}

} // namespace vapora::test
