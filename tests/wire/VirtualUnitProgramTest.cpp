// The shipped pieces together: the link library, told by its setting to use
// a serial port, against the vapora-virtual-unit program on a pseudo-terminal.

#include "link/SerialLink.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

#include <dlfcn.h>

namespace {

class Screen : public vapora::LinkScreen {
public:
    void PostState(int32_t state) override { states.push_back(state); }
    void SendProgress(int32_t, int32_t) override {}
    std::vector<int32_t> states;
};

TEST(VirtualUnitProgram, TheLibraryReachesItThroughTheSetting)
{
    const QString dir = QCoreApplication::applicationDirPath();
    const QString program = dir + "/vapora-virtual-unit";
    const QString library = dir + "/libSerNoxDL.so";
    if (!QFileInfo::exists(program) || !QFileInfo::exists(library))
        GTEST_SKIP() << "program or library not built";

    // Started before any port is open here, so it inherits none.
    QProcess unit;
    unit.start(program, {"--baud", "0", "--id", "8,1,2,14", "--scenario", "drive"});
    ASSERT_TRUE(unit.waitForStarted(5000));
    ASSERT_TRUE(unit.waitForReadyRead(5000));
    const QByteArray path = unit.readLine().trimmed();
    ASSERT_TRUE(path.startsWith("/dev/"));

    qputenv("VAPORA_LINK", "serial:" + path + "@115200,answer=60,gap=5");
    void* handle = dlopen(library.toLocal8Bit().constData(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle, nullptr) << dlerror();
    auto create = reinterpret_cast<vapora::CreateClassInstanceFn>(dlsym(handle, "_CreateClassInstance"));
    auto destroy = reinterpret_cast<vapora::DestroyClassInstanceFn>(dlsym(handle, "_DestroyClassInstance"));
    ASSERT_TRUE(create && destroy);
    vapora::SerialLink* link = create();
    ASSERT_NE(link, nullptr);
    Screen screen;
    link->AttachScreen(&screen);

    ASSERT_TRUE(link->OpenLink());
    link->Connect();
    uint8_t id[4] = {};
    ASSERT_TRUE(link->Identify(id));
    EXPECT_EQ(std::vector<uint8_t>(id, id + 4), (std::vector<uint8_t>{8, 1, 2, 14}));
    int32_t row[20] = {};
    EXPECT_TRUE(link->ReadParamRow(82702, row, 3));
    EXPECT_TRUE(link->WriteCell(526, 3, 4, 77));
    EXPECT_TRUE(link->ReadParamRow(82702, row, 3));
    EXPECT_EQ(row[4], 77);

    // The unit vanishes: the next request fails, the link goes down once.
    unit.kill();
    unit.waitForFinished(5000);
    int32_t value = -1;
    EXPECT_FALSE(link->ReadParam(3, &value));
    EXPECT_FALSE(link->ReadParam(4, &value));
    EXPECT_EQ(value, -1);
    EXPECT_EQ(screen.states, (std::vector<int32_t>{1, 0}));
    EXPECT_EQ(link->IsConnected(), 0);

    destroy(link);
    dlclose(handle);
    // Only now: the library reads the setting again whenever the link opens.
    qunsetenv("VAPORA_LINK");
}

} // namespace
