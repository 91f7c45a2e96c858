// The library's two C entry points; everything else stays hidden.
#include "LinkObject.h"
#include "wire/UnitFactory.h"

#if defined(_WIN32)
#define SERNOX_EXPORT __declspec(dllexport)
#else
#define SERNOX_EXPORT __attribute__((visibility("default")))
#endif

extern "C" {

SERNOX_EXPORT vapora::SerialLink* _CreateClassInstance()
{
    try {
        // The unit is the one the setting names; the simulation by default.
        return new sernox::LinkObject(sernox::wire::MakeConfiguredUnit());
    } catch (...) {
        return nullptr; // nothing may cross the C boundary
    }
}

SERNOX_EXPORT void _DestroyClassInstance(vapora::SerialLink* link)
{
    delete static_cast<sernox::LinkObject*>(link);
}

}
