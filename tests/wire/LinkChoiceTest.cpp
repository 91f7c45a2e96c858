// Where the link setting comes from, the user's choice as the program's settings
// store keeps it, the unit that follows a new choice, and the serial ports.

#include "wire/ConfiguredUnit.h"
#include "wire/LinkChoice.h"
#include "wire/LinkSetting.h"
#include "wire/SerialPorts.h"
#include "sim/SimUnit.h"

#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <unistd.h>

namespace sernox::wire {
namespace {

namespace fs = std::filesystem;

class LinkChoice : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (const char* old = std::getenv("VAPORA_LINK"))
            saved_ = old;
        unsetenv("VAPORA_LINK");
        root = fs::path(dir_.path().toStdString());
    }
    void TearDown() override
    {
        if (saved_.empty())
            unsetenv("VAPORA_LINK");
        else
            setenv("VAPORA_LINK", saved_.c_str(), 1);
    }
    void Conf(const std::string& text) { std::ofstream(root / "SerNoxDL.conf") << text; }
    // Written as the program writes it: through the settings store.
    fs::path Settings(const QString& choice)
    {
        const QString file = dir_.filePath(QStringLiteral("Vapora.conf"));
        QSettings store(file, QSettings::IniFormat);
        store.setValue(QStringLiteral("Language"), 1);
        store.setValue(QString::fromLatin1(kUserLinkValue), choice);
        store.setValue(QStringLiteral("Other/Link"), QStringLiteral("not this one"));
        store.sync();
        return file.toStdString();
    }

    QTemporaryDir dir_;
    std::string saved_;
    fs::path root;
};

TEST_F(LinkChoice, EnvironmentThenLibraryLineThenUserThenLibraryDefaultThenSimulation)
{
    const fs::path noSettings;
    EXPECT_EQ(ResolveLinkSetting(root, noSettings).text, "sim");
    EXPECT_EQ(ResolveLinkSetting(root, noSettings).source, LinkSource::BuiltIn);

    Conf("# installed\ndefault=none\n");
    EXPECT_EQ(ResolveLinkSetting(root, noSettings).text, "none");
    EXPECT_EQ(ResolveLinkSetting(root, noSettings).source, LinkSource::LibraryDefault);
    EXPECT_EQ(ParseLinkSetting("none").kind, LinkSetting::Kind::None);

    const fs::path settings = Settings(QStringLiteral("serial:/dev/ttyUSB0"));
    EXPECT_EQ(ResolveLinkSetting(root, settings).text, "serial:/dev/ttyUSB0");
    EXPECT_EQ(ResolveLinkSetting(root, settings).source, LinkSource::UserChoice);

    Conf("default=none\nlink=serial:/dev/ttyS0\n");
    EXPECT_EQ(ResolveLinkSetting(root, settings).text, "serial:/dev/ttyS0");
    EXPECT_EQ(ResolveLinkSetting(root, settings).source, LinkSource::LibraryFile);

    setenv("VAPORA_LINK", " serial:/dev/pts/7 ", 1);
    EXPECT_EQ(ResolveLinkSetting(root, settings).text, "serial:/dev/pts/7");
    EXPECT_EQ(ResolveLinkSetting(root, settings).source, LinkSource::Environment);
}

// Whatever the store writes, quoted or escaped, reads back as the text that was chosen.
TEST_F(LinkChoice, TheUsersChoiceReadsBackAsTheSettingsStoreWroteIt)
{
    for (const QString& choice :
         {QStringLiteral("sim"), QStringLiteral("serial:/dev/ttyUSB0"),
          QStringLiteral("serial:/dev/ttyUSB0@19200,answer=250,attempts=5"), QStringLiteral("serial:COM3;x=\"y\""),
          QStringLiteral("serial:C:\\ports\\a b "), QString::fromUtf8("serial:/dev/serial/by-id/usb-Città_€-if00"),
          QStringLiteral("serial:/dev/tab\there")}) {
        EXPECT_EQ(ReadUserLinkChoice(Settings(choice)), choice.trimmed().toStdString()) << choice.toStdString();
    }
    EXPECT_EQ(ReadUserLinkChoice(root / "missing.conf"), "");
    EXPECT_EQ(ReadUserLinkChoice({}), "");
}

TEST(ConfiguredUnit, ANewChoiceMakesANewUnitAtTheNextOpeningAndOnlyThen)
{
    std::string setting = "sim";
    int made = 0;
    ConfiguredUnit unit([&] { return setting; },
                        [&](const std::string&) {
                            ++made;
                            return std::make_unique<SimUnit>();
                        });
    EXPECT_EQ(made, 1);
    ASSERT_TRUE(unit.Open());
    ASSERT_TRUE(unit.WriteValue(5, 77)); // what was written stays while the setting does
    unit.Close();
    ASSERT_TRUE(unit.Open());
    EXPECT_EQ(made, 1);
    int32_t value = 0;
    ASSERT_TRUE(unit.ReadValue(5, value));
    EXPECT_EQ(value, 77);

    setting = "serial:/dev/ttyUSB9";
    EXPECT_EQ(made, 1) << "nothing changes before the link opens again";
    unit.Close();
    unit.Open();
    EXPECT_EQ(made, 2);
    EXPECT_EQ(unit.Setting(), "serial:/dev/ttyUSB9");
}

// A sysfs of its own: USB adapters first, by name with numbers in order; consoles,
// pseudo-terminals and built-in ports without hardware left out.
TEST(SerialPorts, ListedFromSysfsUsbFirstWithTheirMakers)
{
    QTemporaryDir dir;
    const fs::path sys = fs::path(dir.path().toStdString()) / "sys";
    auto file = [](const fs::path& p, const std::string& text) {
        fs::create_directories(p.parent_path());
        std::ofstream(p) << text << "\n";
    };
    const fs::path usbDevice = sys / "devices/pci0/usb1/1-2";
    file(usbDevice / "idVendor", "0403");
    file(usbDevice / "idProduct", "6001");
    file(usbDevice / "manufacturer", "FTDI");
    file(usbDevice / "product", "FT232R USB UART");
    fs::create_directories(usbDevice / "1-2:1.0/ttyUSB1");
    const fs::path acmDevice = sys / "devices/pci0/usb1/1-3";
    file(acmDevice / "idVendor", "2341");
    file(acmDevice / "idProduct", "0043");
    fs::create_directories(acmDevice / "1-3:1.0");
    fs::create_directories(sys / "devices/platform/serial8250/tty");

    const fs::path ttys = sys / "class/tty";
    fs::create_directories(ttys);
    auto tty = [&](const std::string& name, const fs::path& device, const char* type) {
        fs::create_directories(ttys / name);
        if (!device.empty())
            fs::create_directory_symlink(device, ttys / name / "device");
        if (type != nullptr)
            file(ttys / name / "type", type);
    };
    tty("ttyUSB1", usbDevice / "1-2:1.0/ttyUSB1", nullptr);
    tty("ttyACM0", acmDevice / "1-3:1.0", nullptr);
    tty("ttyS10", sys / "devices/platform/serial8250/tty", "4");
    tty("ttyS2", sys / "devices/platform/serial8250/tty", "4");
    tty("ttyS3", sys / "devices/platform/serial8250/tty", "0"); // reserved, no hardware
    tty("tty0", {}, nullptr);                                    // a console

    const auto ports = ListSerialPorts(sys, "/dev");
    ASSERT_EQ(ports.size(), 4u);
    EXPECT_EQ(ports[0].path, "/dev/ttyACM0");
    EXPECT_TRUE(ports[0].usb);
    EXPECT_EQ(ports[0].description, "USB 2341:0043");
    EXPECT_EQ(ports[1].path, "/dev/ttyUSB1");
    EXPECT_EQ(ports[1].description, "FTDI FT232R USB UART (0403:6001)");
    EXPECT_EQ(ports[2].name, "ttyS2");
    EXPECT_FALSE(ports[2].usb);
    EXPECT_EQ(ports[2].description, "");
    EXPECT_EQ(ports[3].name, "ttyS10");
}

TEST(SerialPorts, CheckedWithoutOpening)
{
    QTemporaryDir dir;
    const std::string port = dir.filePath(QStringLiteral("ttyFake")).toStdString();
    EXPECT_EQ(CheckSerialPort(port).state, PortCheck::State::Missing);
    std::ofstream(port) << "";
    EXPECT_EQ(CheckSerialPort(port).state, PortCheck::State::Usable);
    if (geteuid() == 0)
        GTEST_SKIP() << "root may open anything; the package check tries another user";
    fs::permissions(port, fs::perms::owner_read);
    const PortCheck closed = CheckSerialPort(port);
    EXPECT_EQ(closed.state, PortCheck::State::NoAccess);
    EXPECT_FALSE(closed.group.empty());
    EXPECT_FALSE(closed.user.empty());
}

} // namespace
} // namespace sernox::wire
