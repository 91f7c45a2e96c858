// What the configuration files do with bad input and failing disks: refusals with their
// cause, scratch files that a later run can clear, texts that stay on their line.

#include "model/ConfCar.h"
#include "model/FileCodec.h"
#include "model/IniFile.h"
#include "model/SafeFile.h"
#include "model/ScratchFiles.h"
#include "support/FakeClock.h"
#include "support/FakeLink.h"
#include "FileTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <cstring>
#include <filesystem>
#include <random>
#include <type_traits>

using namespace vapora;
namespace fs = std::filesystem;

namespace {

template <class T>
void Append(std::string& out, const T& value)
{
    static_assert(std::is_trivially_copyable_v<T>);
    out.append(reinterpret_cast<const char*>(&value), sizeof value);
}

// Everything of the record a load could touch, as bytes.
std::string Snapshot(const ConfCar& c)
{
    std::string s;
#define F(x) Append(s, c.x)
    F(MappaCarburazione); F(Adattativita); F(RifGiri); F(RifMAP); F(RifOpenLoop); F(PassiInv); F(PassiIngr);
    F(PassiSmag); F(TipoSensore); F(RifSensore); F(DecrCumulo); F(ArriccUscitaMin); F(Arricc2UscitaMin);
    F(ArrPerTps); F(VarCumulo); F(TempoArrBenzina); F(StatoConfigurazione); F(Stato); F(Abilitazione); F(TempRif);
    F(TempCoeff); F(EffettoClima); F(MappaBenzina); F(RifGiriB); F(RifMAPB); F(Flag1); F(TipoDiLambda);
    F(RifLambda); F(RitardoLetturaSonda); F(TempoSondaFredda); F(RifSupSondaFredda); F(RifInfSondaFredda);
    F(RifSupSondaCalda); F(RifInfSondaCalda); F(TemperaturaCambio); F(GiriPerCambio); F(TempoSovrapposizione);
    F(RitardoMinimoCambio); F(FuoriGiri); F(NumeroCilindri); F(FasciaGiriMinimo); F(GiriCutoff); F(RitardoCutoff);
    F(TipoDiTps); F(Isteresi); F(TempoAlto); F(TempoBasso); F(TempoSondaSconnessa); F(NumeroOnde);
    F(MaxErroreIntegrale); F(MinErroreIntegrale); F(MaxErroreIntegraleAlMinimo); F(MinErroreIntegraleAlMinimo);
    F(TpsSbana); F(GiriSbana); F(PassiSbana); F(MinCumulo); F(TpsArrBenzina); F(TempoMinArrBenzina);
    F(LimitazioneCorrettore); F(MotoreCutoff); F(MotoreFineCutoff); F(TempoPassiCutoff); F(TempoRitBenzina);
    F(TpsMoltoFuori); F(TempoApSbana); F(TempoChSbana); F(LivelloAlto); F(LivelloBasso); F(CorrRientroMin);
    F(GiriArrBenzina); F(Cilindrata); F(CentCubici); F(Valvole); F(NCilindri); F(Potenza); F(AnnoVettura);
    F(MappaBenzinaAmmessa); F(MappaBenzinaPresente); F(Modified);
#undef F
    for (const std::string* text : {&c.NomeBreve, &c.ProgFile, &c.DescrizAuto, &c.Euro, &c.Motore, &c.Centralina,
                                    &c.Cambio, &c.FileName})
        s += *text + '\0';
    return s;
}

class FileOutcomes : public test::FileTest {
protected:
    test::FakeLink link;
    test::FakeClock clock;
    ConfCar car{"default.mur", &link, clock};

    std::string Path(const std::string& name) const { return (root / name).string(); }
    std::string Decoded(const std::string& file) const { return CryptBytes(Get(file), true, true, {}); }

    // A whole configuration saved to `name`, its record filled with distinct values.
    std::string Saved(const std::string& name)
    {
        ConfCar source{"default.mur", nullptr, clock};
        source.SetDefaults(false);
        source.MappaCarburazione[3][4] = 321;
        source.Flag1 = 6;
        source.DescrizAuto = "Familiare";
        EXPECT_TRUE(source.SaveToFile(Path(name), 0));
        return Path(name);
    }
};

} // namespace

TEST_F(FileOutcomes, FilesThatAreNotConfigurationsAreRefusedWithoutChangingAnything)
{
    const std::string good = Saved("good.vap");
    ASSERT_TRUE(car.LoadFromFile(good, 0));
    link.connected = true;
    const std::string before = Snapshot(car);
    const size_t callsBefore = link.calls.size();

    std::mt19937 random(7);
    std::string noise(4096, '\0');
    for (char& b : noise)
        b = static_cast<char>(random());
    const std::vector<std::pair<std::string, std::string>> files = {
        {"random.vap", noise},
        {"empty.vap", ""},
        {"header.vap", "EVMF\r\n"},
        {"other.vap", "DVMF\r\n[Lambda]\r\nTipoDiLambda=3\r\n[MappaCarburazione]\r\nMappa0_0=99\r\n"},
        {"plain.vap", "[Generale]\r\nNomeConfigurazione=x.vap\r\n"}, // plain INI without the codec header
        {"nearly.vap", "DVMF\r\n[Generale\r\nFlag1=3\r\n"},
    };
    for (const auto& [name, bytes] : files) {
        const std::string file = Put(name, bytes);
        for (int scope : {0, 1, 2}) {
            EXPECT_FALSE(car.LoadFromFile(file, scope)) << name << " " << scope;
            EXPECT_EQ(car.LastFileError(), FileError::NotConfiguration) << name;
        }
        EXPECT_EQ(Get(file), bytes) << name;
        EXPECT_FALSE(car.ResetUnit(file)) << name;
    }
    EXPECT_EQ(Snapshot(car), before);
    EXPECT_EQ(link.calls.size(), callsBefore); // nothing reached the unit
    EXPECT_TRUE(NoTemporaryLeft());

    // A real file with keys missing still loads; so does the good file again.
    ASSERT_TRUE(car.LoadFromFile(Put("sparse.vap", "DVMF\r\n[Generale]\r\nCilindrata=31\r\n"), 0));
    EXPECT_EQ(car.Cilindrata, 31);
    EXPECT_EQ(car.LastFileError(), FileError::None);
    ASSERT_TRUE(car.LoadFromFile(good, 0));
    EXPECT_EQ(car.MappaCarburazione[3][4], 321);
}

TEST_F(FileOutcomes, FailuresNameTheirCause)
{
    const std::string good = Saved("good.vap");
    fs::create_directories(root / "folder.vap");

    EXPECT_FALSE(car.LoadFromFile(Path("folder.vap"), 0));
    EXPECT_EQ(car.LastFileError(), FileError::IsFolder);
    EXPECT_FALSE(car.SaveToFile(Path("folder.vap"), 0));
    EXPECT_EQ(car.LastFileError(), FileError::IsFolder);
    EXPECT_FALSE(car.LoadFromFile(Path("missing.vap"), 0));
    EXPECT_EQ(car.LastFileError(), FileError::NotFound);
    EXPECT_FALSE(car.SaveToFile(Path("nofolder/x.vap"), 0));
    EXPECT_EQ(car.LastFileError(), FileError::NotFound);

    // The temporary folder, not the good file, is what is wrong.
    SetTempFolder(root / "gone");
    EXPECT_FALSE(car.LoadFromFile(good, 0));
    EXPECT_EQ(car.LastFileError(), FileError::TempMissing);
    EXPECT_FALSE(car.SaveToFile(Path("new.vap"), 0));
    EXPECT_EQ(car.LastFileError(), FileError::TempMissing);
    EXPECT_FALSE(fs::exists(Path("new.vap")));
    SetTempFolder(tmp);
    // ... but a missing file is told as missing whatever the temporary folder's state.
    SetTempFolder(root / "gone");
    EXPECT_FALSE(car.LoadFromFile(Path("missing.vap"), 0));
    EXPECT_EQ(car.LastFileError(), FileError::NotFound);
    SetTempFolder(tmp);

    ASSERT_TRUE(car.LoadFromFile(good, 0));
    EXPECT_EQ(car.LastFileError(), FileError::None);
    EXPECT_EQ(car.FileName, good);
    EXPECT_TRUE(NoTemporaryLeft());
}

TEST_F(FileOutcomes, SystemErrorsMapToCauses)
{
    const std::pair<std::errc, FileError> cases[] = {
        {std::errc::no_such_file_or_directory, FileError::NotFound},
        {std::errc::not_a_directory, FileError::NotFound},
        {std::errc::is_a_directory, FileError::IsFolder},
        {std::errc::permission_denied, FileError::Permission},
        {std::errc::read_only_file_system, FileError::Permission},
        {std::errc::no_space_on_device, FileError::DiskFull},
        {std::errc::filename_too_long, FileError::PathTooLong},
        {std::errc::io_error, FileError::Other},
    };
    for (const auto& [code, cause] : cases)
        EXPECT_EQ(FileErrorFrom(std::make_error_code(code)), cause) << static_cast<int>(code);
    EXPECT_EQ(InTemporaryFolder(FileError::DiskFull), FileError::TempFull);
    EXPECT_EQ(InTemporaryFolder(FileError::NotFound), FileError::TempMissing);
    EXPECT_EQ(InTemporaryFolder(FileError::Permission), FileError::TempMissing);

    // A device that is always full.
    if (fs::exists("/dev/full")) {
        FileError why = FileError::None;
        EXPECT_FALSE(OverwriteFile("/dev/full", std::string(100000, 'x'), &why));
        EXPECT_EQ(why, FileError::DiskFull);
    }
}

TEST_F(FileOutcomes, ReadOnlyFileIsNotReplaced)
{
    const std::string file = Saved("locked.vap");
    const std::string old = Get(file);
    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    car.SetDefaults(false);
    car.Modified = true;

    EXPECT_FALSE(car.SaveToFile(file, 0));
    EXPECT_EQ(car.LastFileError(), FileError::ReadOnly);
    EXPECT_TRUE(car.Modified);
    const bool official = true;
    EXPECT_FALSE(ConfCar::WriteFileHeader(file, nullptr, &official));
    EXPECT_FALSE(CryptFile(Put("plain.ini", "[Generale]\r\n"), file, false, true));
    EXPECT_EQ(Get(file), old);
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::owner_write, fs::perms::none);
    EXPECT_EQ(std::distance(fs::directory_iterator(root), fs::directory_iterator()), 3); // tmp, file, plain.ini
    // It still loads.
    EXPECT_TRUE(car.LoadFromFile(file, 0));
    EXPECT_TRUE(NoTemporaryLeft());
}

TEST_F(FileOutcomes, PathsOverTheLimitAreRefusedWhole)
{
    const std::string good = Saved("good.vap");
    ASSERT_TRUE(car.LoadFromFile(good, 0));
    const std::string before = Snapshot(car);

    // Exactly one character too long; a cut would name an existing file.
    std::string tooLong = Path("x");
    while (tooLong.size() < kPathMax - 8)
        tooLong += "/sub";
    tooLong = tooLong.substr(0, kPathMax - 8) + "/a.vap";
    while (tooLong.size() <= kPathMax)
        tooLong.insert(tooLong.size() - 6, "a");
    ASSERT_EQ(tooLong.size(), kPathMax + 1);

    EXPECT_FALSE(car.LoadFromFile(tooLong, 0));
    EXPECT_EQ(car.LastFileError(), FileError::PathTooLong);
    EXPECT_EQ(Snapshot(car), before);
    car.Modified = true;
    EXPECT_FALSE(car.SaveToFile(tooLong, 0));
    EXPECT_EQ(car.LastFileError(), FileError::PathTooLong);
    EXPECT_EQ(car.FileName, good);
    EXPECT_FALSE(fs::exists(root / "x"));
    EXPECT_TRUE(NoTemporaryLeft());
}

TEST_F(FileOutcomes, LongPathsAndNamesThatTheFolderTakesAreSavedWhole)
{
    car.SetDefaults(false);
    // A path past the old 249-character field: saved and loaded under its own name.
    // Past the old field, within the system's own limit (Windows: 259 characters).
    const std::size_t wanted = std::min<std::size_t>(300, kPathMax);
    fs::path deep = root;
    while (deep.string().size() + 9 + 6 + 1 < wanted)
        deep /= "cartella";
    deep /= std::string(wanted - deep.string().size() - 1 - 6, 'c'); // the whole path is `wanted` long
    fs::create_directories(deep);
    const std::string cut = (deep / "a.vap").string().substr(0, 249);
    const std::string longPath = (deep / "a.vap").string();
    ASSERT_EQ(longPath.size(), wanted);
    car.Flag1 = 42;
    ASSERT_TRUE(car.SaveToFile(longPath, 0));
    EXPECT_EQ(car.FileName, longPath);
    EXPECT_FALSE(fs::is_regular_file(cut));
    ConfCar other{"default.mur", &link, clock};
    ASSERT_TRUE(other.LoadFromFile(longPath, 0));
    EXPECT_EQ(other.Flag1, 42);

#ifdef _WIN32
    GTEST_SKIP() << "a 255-character name passes the 259-character path limit here";
#endif
    // The longest name the file system takes, next to a file of its own.
    const std::string name = std::string(251, 'n') + ".vap";
    ASSERT_EQ(name.size(), 255u);
    const std::string file = Path(name);
    ASSERT_TRUE(car.SaveToFile(file, 0)) << static_cast<int>(car.LastFileError());
    ASSERT_TRUE(other.LoadFromFile(file, 0));
    car.Flag1 = 43;
    ASSERT_TRUE(car.SaveToFile(file, 0));
    ASSERT_TRUE(other.LoadFromFile(file, 0));
    EXPECT_EQ(other.Flag1, 43);

    // A failed save keeps the old file and leaves no scratch file beside it.
    const std::string old = Get(file);
    fs::permissions(file, fs::perms::owner_write, fs::perm_options::remove);
    car.Flag1 = 45;
    EXPECT_FALSE(car.SaveToFile(file, 0));
    EXPECT_EQ(car.LastFileError(), FileError::ReadOnly);
    fs::permissions(file, fs::perms::owner_write, fs::perm_options::add);
    fs::permissions(root, fs::perms::owner_write, fs::perm_options::remove);
    const bool enforced = !std::ofstream(root / "probe");
    if (enforced) {
        car.Flag1 = 44;
        EXPECT_FALSE(car.SaveToFile(file, 0));
        EXPECT_EQ(car.LastFileError(), FileError::Permission);
    }
    fs::permissions(root, fs::perms::owner_write, fs::perm_options::add);
    fs::remove(root / "probe");
    EXPECT_EQ(Get(file), old);
    for (const auto& entry : fs::directory_iterator(root))
        EXPECT_NE(entry.path().filename().string().front(), '~') << entry.path();
}

TEST_F(FileOutcomes, ScratchFilesNameTheirProcessAndOnlyDeadOnesOfOurKindGo)
{
    const std::string pid = std::to_string(CurrentProcessId());
    const std::string name = ScratchName(kSaveScratchPrefix);
    EXPECT_EQ(name.rfind("~" + ScratchOwner() + "-" + pid + "-", 0), 0u) << name;
    EXPECT_LE(name.size(), 40u);
    std::uint64_t parsed = 0;
    ASSERT_TRUE(OwnScratchProcess(name, parsed));
    EXPECT_EQ(parsed, CurrentProcessId());
    EXPECT_TRUE(ProcessAlive(CurrentProcessId()));

    // A decode leaves its working copy in the temporary folder under such a name while open.
    IoBaseData file(Saved("open.vap"));
    file.OpenIni(true);
    ASSERT_TRUE(OwnScratchProcess(file.TempFileName.filename().string(), parsed));
    EXPECT_EQ(file.TempFileName.filename().string().rfind("_de", 0), 0u);
    EXPECT_EQ(file.TempFileName.parent_path(), tmp);
    EXPECT_EQ(RemoveStaleScratchFiles(tmp), 0); // ours, alive
    EXPECT_TRUE(fs::exists(file.TempFileName));
    file.CloseIni(false);

    const std::string dead = "2000000001"; // beyond every system's process ids
    const std::string owner = ScratchOwner();
    const std::vector<std::string> stale = {"_de" + owner + "-" + dead + "-0a1b2c3d.tmp",
                                            "~" + owner + "-" + dead + "-00000000.tmp"};
    const std::vector<std::string> kept = {
        "_de" + owner + "-" + pid + "-0a1b2c3d.tmp",  // a live process
        "_devtool-" + dead + "-0a1b2c3d.tmp",         // another program's
        "~vtool-" + dead + "-0a1b2c3d.tmp",
        "_de" + owner + "-" + dead + "-0a1b2c3d.tmp.bak", // not a scratch name
        "~" + owner + "-" + dead + "-0A1B2C3D.tmp",
        "~" + owner + "-x" + dead + "-0a1b2c3d.tmp",
        "_de1234.tmp",                                // someone else's
        "~report.txt",
    };
    for (const auto& n : stale)
        Put("tmp/" + n, "x");
    for (const auto& n : kept)
        Put("tmp/" + n, "x");
    fs::create_directories(tmp / ("~" + owner + "-" + dead + "-11111111.tmp")); // saves beside a target make no folders
    fs::permissions(tmp / stale[1], fs::perms::owner_read);

    EXPECT_EQ(RemoveStaleScratchFiles(tmp), 2);
    for (const auto& n : stale)
        EXPECT_FALSE(fs::exists(tmp / n)) << n;
    for (const auto& n : kept)
        EXPECT_TRUE(fs::exists(tmp / n)) << n;
    EXPECT_EQ(RemoveStaleScratchFiles(root / "missing"), 0);

    // The tool's files are its own: with its owner set, ours stay.
    Put("tmp/" + stale[0], "x");
    SetScratchOwner("vtool");
    EXPECT_EQ(RemoveStaleScratchFiles(tmp), 2); // the two "vtool" ones
    SetScratchOwner(owner);
    EXPECT_TRUE(fs::exists(tmp / stale[0]));
    fs::remove_all(tmp);
    fs::create_directories(tmp);
}

TEST_F(FileOutcomes, EveryTextFieldStaysOnItsLineAndKeepsItsQuotes)
{
    ConfCar source{"default.mur", nullptr, clock};
    source.SetDefaults(false);
    source.Flag1 = 5;
    std::string* texts[] = {&source.ProgFile, &source.DescrizAuto, &source.Euro, &source.Motore,
                            &source.Centralina, &source.Cambio};
    auto check = [&](const std::string& fileName, const std::string& value, const std::string& expected) {
        for (std::string* text : texts)
            *text = value;
        ASSERT_TRUE(source.SaveToFile(Path(fileName), 0)) << static_cast<int>(source.LastFileError());
        ConfCar loaded{"default.mur", nullptr, clock};
        ASSERT_TRUE(loaded.LoadFromFile(Path(fileName), 0));
        EXPECT_EQ(loaded.Flag1, 5) << value;
        EXPECT_EQ(loaded.ProgFile, expected);
        EXPECT_EQ(loaded.DescrizAuto, expected);
        EXPECT_EQ(loaded.Euro, expected.substr(0, 10));
        EXPECT_EQ(loaded.Motore, expected);
        EXPECT_EQ(loaded.Centralina, expected);
        EXPECT_EQ(loaded.Cambio, expected);
        const IniFile ini = IniFile::FromText(Decoded(Path(fileName)));
        EXPECT_FALSE(ini.SectionExists("Iniettato"));
        EXPECT_EQ(ini.ReadInteger("Generale", "Flag1", -1), 5);
    };
    check("breaks.vap", std::string("x\r\nFlag1=77\n[Iniettato]\0z", 25), std::string("x  Flag1=77 [Iniettato] z", 25));
    check("quotes.vap", "\"Auto\"", "\"Auto\"");
    check("single.vap", "'q'", "'q'");
    check("empty.vap", "\"\"", "\"\"");

    // The unit's name becomes the vehicle description and the file name the configuration
    // name: both go through the same writer.
#ifndef _WIN32 // no line breaks in Windows file names
    const std::string odd = "n\r\nFlag1=77.vap";
    ASSERT_TRUE(source.SaveToFile(Path(odd), 0));
    const IniFile ini = IniFile::FromText(Decoded(Path(odd)));
    EXPECT_EQ(ini.ReadString("Generale", "NomeConfigurazione", ""), "n  Flag1=77.vap");
    EXPECT_EQ(ini.ReadInteger("Generale", "Flag1", -1), 5);
#endif

    // A file name in quotes is a text like the others.
    ASSERT_TRUE(source.SaveToFile(Path("'q'"), 0));
    EXPECT_EQ(IniFile::FromText(Decoded(Path("'q'"))).ReadString("Generale", "NomeConfigurazione", ""), "'q'");

    const std::string prog = "\"p\"\r\nMurFile=1";
    ASSERT_TRUE(ConfCar::WriteFileHeader(Path("quotes.vap"), &prog, nullptr));
    std::string readProg;
    bool official = true;
    ASSERT_TRUE(ConfCar::ReadFileProg(Path("quotes.vap"), &readProg, &official));
    EXPECT_EQ(readProg, "\"p\"  MurFile=1");
    EXPECT_FALSE(official);
}

TEST_F(FileOutcomes, FuzzedFilesNeverChangeOnDiskAndRefusalsChangeNothing)
{
    const std::string good = Decoded(Saved("seed.vap"));
    std::mt19937 random(20261209);
    auto pick = [&](size_t n) { return static_cast<size_t>(random() % n); };
    const std::vector<std::string> pieces = {"[Generale]", "[generale ]", "[Lambda]", "[MappaCarburazione]",
                                             "[Generale", "NomeConfigurazione=\"x.vap\"", "Flag1=-3",
                                             "Mappa0_0=99999", "EffettoClima=4", "TempoArrBenzina=2", "=",
                                             "; note", "\"", "[", "]", "Potenza=1e308"};
    link.connected = true;
    for (int round = 0; round < 300; ++round) {
        std::string bytes;
        switch (round % 4) {
        case 0: // random bytes
            bytes.resize(pick(600));
            for (char& b : bytes)
                b = static_cast<char>(random());
            break;
        case 1: // lines made of configuration pieces, with or without the header
            bytes = pick(2) ? "DVMF\r\n" : "";
            for (size_t i = pick(30); i > 0; --i)
                bytes += pieces[pick(pieces.size())] + (pick(3) ? "\r\n" : "\n");
            break;
        case 2: // a real file cut short
            bytes = CryptBytes(good, false, true, {}).substr(0, pick(good.size()));
            break;
        default: // a real file with bytes flipped
            bytes = good;
            for (size_t i = pick(20) + 1; i > 0; --i)
                bytes[pick(bytes.size())] = static_cast<char>(random());
            break;
        }
        const std::string file = Put("fuzz.vap", bytes);
        const std::string before = Snapshot(car);
        const size_t calls = link.calls.size();
        const bool loaded = car.LoadFromFile(file, static_cast<int>(pick(3)));
        SCOPED_TRACE("round " + std::to_string(round));
        EXPECT_EQ(Get(file), bytes);
        if (!loaded) {
            EXPECT_EQ(Snapshot(car), before);
            EXPECT_EQ(link.calls.size(), calls);
        } else {
            EXPECT_EQ(car.FileName, file);
        }
        if (HasFatalFailure() || (::testing::Test::HasFailure() && round > 0))
            break;
    }
    EXPECT_TRUE(NoTemporaryLeft());
}
