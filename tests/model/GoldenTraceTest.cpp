// What the unit, the files and the tool see of the record, recorded once and kept as
// test data: the link calls and progress of whole transfers, the bytes of saved files,
// what loading leaves in the record, and the scalars by identifier. A change that
// alters any of it fails here and shows the first line that differs.
//
// To record anew (only when a change of behaviour is meant):
//   VAPORA_GOLDEN_RECORD=1 model_tests --gtest_filter='GoldenTrace.*'

#include "model/ConfCar.h"
#include "model/FileCodec.h"
#include "model/ParamIds.h"
#include "sim/ParamTable.h"
#include "FileTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

using namespace vapora;
namespace fs = std::filesystem;

namespace {

const fs::path kGoldenDir = fs::path(VAPORA_DATA_DIR) / ".." / "tests" / "model" / "golden";

bool Recording()
{
    const char* v = std::getenv("VAPORA_GOLDEN_RECORD");
    return v != nullptr && *v != '\0' && *v != '0';
}

// Compares `actual` with the golden file, or writes it when recording.
void ExpectGolden(const std::string& name, const std::string& actual)
{
    const fs::path file = kGoldenDir / name;
    if (Recording()) {
        fs::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << actual;
        return;
    }
    ASSERT_TRUE(fs::exists(file)) << file;
    const std::string expected = test::ReadAll(file);
    if (expected == actual)
        return;
    // Name the first line that differs, with a little of what came before it.
    std::istringstream e(expected), a(actual);
    std::string le, la, context;
    int line = 0;
    while (true) {
        const bool more = static_cast<bool>(std::getline(e, le));
        const bool moreA = static_cast<bool>(std::getline(a, la));
        ++line;
        if (!more && !moreA)
            break;
        if (!more || !moreA || le != la) {
            ADD_FAILURE() << name << " differs at line " << line << "\n  after: " << context
                          << "\n  golden: " << (more ? le : "(end)") << "\n  now:    " << (moreA ? la : "(end)");
            return;
        }
        context = le;
    }
    ADD_FAILURE() << name << " differs in its line ends";
}

// splitmix64: the same values on every platform.
uint64_t Mix(uint64_t x)
{
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

std::string Join(const int32_t* v, int n)
{
    std::string s;
    for (int i = 0; i < n; ++i)
        s += (i ? " " : "") + std::to_string(v[i]);
    return s;
}

// Everything that happens, in order: link calls, progress, pauses.
struct Trace {
    std::vector<std::string> lines;
    void Add(std::string line) { lines.push_back(std::move(line)); }
    std::string Text() const
    {
        std::string s;
        for (const std::string& l : lines)
            s += l + "\n";
        return s;
    }
};

class TraceClock final : public Clock {
public:
    explicit TraceClock(Trace& trace) : trace_(trace) {}
    uint32_t TickCount() override { return now_; }
    void Sleep(uint32_t ms) override
    {
        trace_.Add("sleep " + std::to_string(ms));
        now_ += ms;
    }

private:
    Trace& trace_;
    uint32_t now_ = 0;
};

// A unit that answers from a store filled from a seed; every element lies in the range
// its identifier's bits give. It records every call with its arguments and answer.
class TraceLink final : public SerialLink {
public:
    TraceLink(Trace& trace, uint64_t seed) : trace_(trace), seed_(seed) {}

    uint8_t flags = 0;
    std::set<int32_t> refused; // identifiers whose writes are refused
    bool refuseAll = false;
    int lostAfter = -1;        // calls answered before the link goes, -1 never

    // Another unit: a fresh store from another seed, every call answered again.
    void Reseed(uint64_t seed)
    {
        seed_ = seed;
        store_.clear();
        calls_ = 0;
    }

    // Sets every element of a parameter to one value.
    void Fill(int number, int count, int32_t value)
    {
        for (int i = 0; i < count; ++i)
            store_[{number, i}] = value;
    }

    void Init(int32_t) override {}
    void Configure(int32_t) override {}
    void AttachScreen(LinkScreen*) override {}
    int32_t IsConnected() override
    {
        const bool up = Up();
        trace_.Add(std::string("connected? ") + (up ? "1" : "0"));
        return up ? 1 : 0;
    }
    void Connect() override {}
    void Disconnect() override {}
    uint8_t GetStatusFlags() override
    {
        trace_.Add("flags -> " + std::to_string(flags));
        return flags;
    }
    void EndProgramming() override {}
    void BeginProgramming() override {}
    bool ReadParam(int32_t id, int32_t* dest) override
    {
        const int n = (id & 0x100) != 0 ? ((id >> 12) & 0xFF) : 1;
        return Read("read " + std::to_string(id), id, 0, n, dest);
    }
    bool ReadParamRow(int32_t id, int32_t* dest, int32_t row) override
    {
        const int n = (id >> 12) & 0xFF;
        return Read("readRow " + std::to_string(id) + " r" + std::to_string(row), id, row * n, n, dest);
    }
    bool ReadLive(int32_t, uint8_t*, int32_t*) override { return false; }
    bool WriteParam(int32_t id, const int32_t* src) override
    {
        return Write("block " + std::to_string(id), id, 0, src, (id >> 12) & 0xFF);
    }
    bool WriteValue(int32_t id, int32_t v) override { return Write("value " + std::to_string(id), id, 0, &v, 1); }
    bool WriteElement(int32_t id, int32_t i, int32_t v) override
    {
        return Write("element " + std::to_string(id) + "[" + std::to_string(i) + "]", id, i, &v, 1);
    }
    bool WriteCell(int32_t id, int32_t r, int32_t c, int32_t v) override
    {
        return Write("cell " + std::to_string(id) + "[" + std::to_string(r) + "," + std::to_string(c) + "]", id, -1,
                     &v, 1);
    }
    bool WriteParamRow(int32_t id, const int32_t* src, int32_t row) override
    {
        const int n = (id >> 12) & 0xFF;
        return Write("row " + std::to_string(id) + " r" + std::to_string(row), id, row * n, src, n);
    }
    bool Identify(uint8_t*) override { return false; }
    bool OpenLink() override { return true; }
    int32_t ProgramFirmware(const char*, int32_t, int32_t, int32_t) override { return 2; }

private:
    bool Up() const { return lostAfter < 0 || calls_ < lostAfter; }

    bool Answer()
    {
        const bool up = Up();
        ++calls_;
        return up;
    }

    int32_t Value(int32_t id, int index)
    {
        const int number = id & 0xFF;
        const auto it = store_.find({number, index});
        if (it != store_.end())
            return it->second;
        const bool word = (id & 0x200) != 0, isSigned = (id & 0x400) != 0;
        const int64_t lo = isSigned ? (word ? -32768 : -128) : 0;
        const int64_t span = word ? 65536 : 256;
        const auto v = static_cast<int32_t>(lo + static_cast<int64_t>(Mix(seed_ * 1000003 + number * 4099 + index) %
                                                                        static_cast<uint64_t>(span)));
        store_[{number, index}] = v;
        return v;
    }

    bool Read(const std::string& what, int32_t id, int first, int n, int32_t* dest)
    {
        if (!Answer()) {
            trace_.Add(what + " -> lost");
            return false;
        }
        for (int i = 0; i < n; ++i)
            dest[i] = Value(id, first + i);
        trace_.Add(what + " -> " + Join(dest, n));
        return true;
    }

    bool Write(const std::string& what, int32_t id, int first, const int32_t* src, int n)
    {
        if (!Answer()) {
            trace_.Add(what + " = " + Join(src, n) + " -> lost");
            return false;
        }
        const bool ok = !refuseAll && refused.count(id) == 0;
        trace_.Add(what + " = " + Join(src, n) + (ok ? " -> ok" : " -> refused"));
        if (ok && first >= 0)
            for (int i = 0; i < n; ++i)
                store_[{id & 0xFF, first + i}] = src[i];
        return ok;
    }

    Trace& trace_;
    uint64_t seed_;
    int calls_ = 0;
    std::map<std::pair<int, int>, int32_t> store_;
};

// Every field of the record by name, written out as the record holds it.
struct Dump {
    std::ostringstream out;
    void Put(const char* name, const int32_t& v) { out << name << "=" << v << "\n"; }
    void Put(const char* name, const bool& v) { out << name << "=" << (v ? 1 : 0) << "\n"; }
    void Put(const char* name, const std::string& v) { out << name << "=" << v << "\n"; }
    void Put(const char* name, const float& v) { out << name << "=" << std::llround(v * 1000.0) << "e-3\n"; }
    template <size_t N>
    void Put(const char* name, const int32_t (&v)[N])
    {
        out << name << "=" << Join(v, N) << "\n";
    }
    template <size_t N>
    void Put(const char* name, const uint8_t (&v)[N])
    {
        out << name << "=";
        for (size_t i = 0; i < N; ++i)
            out << (i ? " " : "") << int(v[i]);
        out << "\n";
    }
    template <class T, size_t R, size_t C>
    void Put(const char* name, const T (&v)[R][C])
    {
        for (size_t r = 0; r < R; ++r)
            Put((std::string(name) + "[" + std::to_string(r) + "]").c_str(), v[r]);
    }
};

std::string DumpRecord(const ConfCar& c)
{
    Dump d;
#define F(x) d.Put(#x, c.x)
    F(Modified); F(WriteThrough); F(MappaCarburazione); F(Adattativita); F(RifGiri); F(RifMAP); F(RifOpenLoop);
    F(PassiInv); F(PassiIngr); F(PassiSmag); F(TipoSensore); F(SensoreResistivo); F(GiriCambioSalvati);
    F(SovrapposizioneSalvata); F(CambioSospeso); F(RifSensore); F(DecrCumulo); F(ArriccUscitaMin);
    F(Arricc2UscitaMin); F(ArrPerTps); F(VarCumulo); F(TempoArrBenzina); F(NomeBreve); F(StatoConfigurazione);
    F(Stato); F(Abilitazione); F(TempRif); F(TempCoeff); F(EffettoClima); F(MappaBenzina); F(RifGiriB); F(RifMAPB);
    F(CelleApprese); F(Flag1); F(TipoDiLambda); F(RifLambda); F(RitardoLetturaSonda); F(TempoSondaFredda);
    F(RifSupSondaFredda); F(RifInfSondaFredda); F(RifSupSondaCalda); F(RifInfSondaCalda); F(TemperaturaCambio);
    F(GiriPerCambio); F(TempoSovrapposizione); F(RitardoMinimoCambio); F(FuoriGiri); F(NumeroCilindri);
    F(FasciaGiriMinimo); F(GiriCutoff); F(RitardoCutoff); F(TipoDiTps); F(Isteresi); F(TempoAlto); F(TempoBasso);
    F(TempoSondaSconnessa); F(NumeroOnde); F(MaxErroreIntegrale); F(MinErroreIntegrale);
    F(MaxErroreIntegraleAlMinimo); F(MinErroreIntegraleAlMinimo); F(TpsSbana); F(GiriSbana); F(PassiSbana);
    F(MinCumulo); F(TpsArrBenzina); F(TempoMinArrBenzina); F(LimitazioneCorrettore); F(TempoGas); F(TempoBenzina);
    F(Adattativo); F(MotoreCutoff); F(MotoreFineCutoff); F(TempoPassiCutoff); F(TempoRitBenzina); F(TpsMoltoFuori);
    F(RegistroDiagnosi); F(NumeroReset); F(TempoApSbana); F(TempoChSbana); F(LivelloAlto); F(LivelloBasso);
    F(CorrRientroMin); F(GiriArrBenzina); F(Cilindrata); F(IdUnita); F(ProgFile); F(DescrizAuto); F(Euro);
    F(CentCubici); F(Valvole); F(NCilindri); F(Potenza); F(Motore); F(Centralina); F(Cambio); F(AnnoVettura);
    F(MappaBenzinaAmmessa); F(MappaBenzinaPresente); F(ProssimoPunto);
#undef F
    return d.out.str();
}

// The lines of the record's dump that `after` changed.
std::string Changes(const std::string& before, const std::string& after)
{
    std::istringstream b(before), a(after);
    std::string out;
    for (std::string lb, la; std::getline(a, la);) {
        std::getline(b, lb);
        if (la != lb)
            out += "changed " + la + "\n";
    }
    return out;
}

std::string DumpOutcome(const TransferOutcome& o)
{
    std::ostringstream s;
    s << "outcome " << (o.direction == TransferOutcome::Direction::Read ? "read" : "write") << " done "
      << o.groupsDone << "/" << o.groupsTotal << " lost " << o.linkLost << " refusedGroups " << o.refusedGroups
      << " complete " << o.Complete() << "\n";
    for (const RefusedValue& r : o.refused)
        s << "refused " << r.id << " [" << r.index << "] " << r.key << " sent " << r.sent << " held " << r.held << "\n";
    return s.str();
}

// A record on a traced unit, with its progress in the same trace.
struct Bench {
    Trace trace;
    TraceClock clock{trace};
    TraceLink link;
    ConfCar car;

    Bench(uint64_t seed, int version, const std::string& file = "golden.vap")
        : link(trace, seed), car(file, &link, clock)
    {
        car.IdUnita[3] = static_cast<uint8_t>(version);
        car.SetProgressSink([this](int32_t amount, bool add) {
            trace.Add(std::string("progress ") + (add ? "+" : "=") + std::to_string(amount));
        });
        trace.lines.clear(); // the defaults' own name and flag writes
    }
};

struct ReadCase {
    const char* title;
    uint64_t seed;
    int version;
    uint8_t flags;
    bool zeroPetrol;
    int lostAfter;
};

constexpr ReadCase kReads[] = {
    {"read v14 petrol map", 1, 14, 0, false, -1},
    {"read v15 petrol map not allowed", 2, 15, 4, false, -1},
    {"read v15 petrol map allowed and empty", 3, 15, 0, true, -1},
    {"read v15 link lost", 4, 15, 0, false, 40},
};

void Prepare(Bench& b, const ReadCase& c)
{
    b.link.flags = c.flags;
    b.link.lostAfter = c.lostAfter;
    if (c.zeroPetrol)
        b.link.Fill(85, 144, 0);
}

// Gives the record values of its own, then the vehicle data a read clears.
void SetVehicle(ConfCar& car)
{
    car.SetVehicleText(1, "Berlina \x80 2.0");
    car.SetVehicleText(2, "Euro 4");
    car.SetVehicleText(3, "Motore b\xE8");
    car.SetVehicleText(4, "Centralina");
    car.SetVehicleText(5, "Manuale");
    car.SetVehicleNumber(6, 1998);
    car.SetVehicleNumber(7, 16);
    car.SetVehicleNumber(8, 4);
    car.SetVehicleNumber(9, 2004);
    car.SetPower(75.5f);
    car.ProgFile = "Vapora15.s19";
}

struct GoldenTrace : test::FileTest {};

} // namespace

TEST_F(GoldenTrace, ReadAll)
{
    std::string text;
    for (const ReadCase& c : kReads) {
        Bench b(c.seed, c.version);
        Prepare(b, c);
        SetVehicle(b.car);
        const bool ok = b.car.ReadAll();
        text += "== " + std::string(c.title) + "\n" + b.trace.Text() + "returned " + std::to_string(ok) + "\n" +
                DumpOutcome(b.car.LastTransfer()) + DumpRecord(b.car);
    }
    ExpectGolden("transfers-read.txt", text);
}

TEST_F(GoldenTrace, WriteAll)
{
    struct WriteCase {
        const char* title;
        uint64_t seed, unitSeed;
        int version;
        bool zeroPetrol, refuseAll;
        std::set<int32_t> refused;
        int lostAfter;
    };
    const WriteCase cases[] = {
        {"write v14 petrol map", 1, 11, 14, false, false, {}, -1},
        {"write v15 no petrol map", 3, 13, 15, true, false, {}, -1},
        {"write v15 some refused", 5, 15, 15, false, false, {3, 528, 1062, 9017, 24912, 1103, 82229, 49491}, -1},
        {"write v14 slot 0 and a row refused", 6, 16, 14, false, false, {52, 83255}, -1},
        {"write v15 everything refused", 7, 17, 15, false, true, {}, -1},
        {"write v15 link lost", 8, 18, 15, false, false, {81}, 60},
    };
    std::string text;
    for (const WriteCase& c : cases) {
        // The record is read from one unit, then written to another.
        Bench b(c.seed, c.version);
        if (c.zeroPetrol)
            b.link.Fill(85, 144, 0);
        b.car.ReadAll();
        b.link.Reseed(c.unitSeed);
        b.link.refused = c.refused;
        b.link.refuseAll = c.refuseAll;
        b.link.lostAfter = c.lostAfter;
        b.trace.lines.clear();
        const std::string before = DumpRecord(b.car);
        const int refused = b.car.WriteAll();
        text += "== " + std::string(c.title) + "\n" + b.trace.Text() + "returned " + std::to_string(refused) + "\n" +
                DumpOutcome(b.car.LastTransfer()) + Changes(before, DumpRecord(b.car));
    }
    ExpectGolden("transfers-write.txt", text);
}

namespace {

uint64_t Fnv(const std::string& bytes)
{
    uint64_t h = 1469598103934665603ull;
    for (unsigned char c : bytes)
        h = (h ^ c) * 1099511628211ull;
    return h;
}

std::string Hex(uint64_t v)
{
    std::ostringstream s;
    s << std::hex << v;
    return s.str();
}

// The plain form of an encoded file: the "DVMF" line and the INI text.
std::string Plain(const std::string& encoded) { return CryptBytes(encoded, true, true, {}); }

// Every whole number after an equals sign replaced by `value`.
std::string Wild(const std::string& plain, const std::string& value)
{
    std::istringstream in(plain);
    std::string out;
    for (std::string line; std::getline(in, line);) {
        const size_t eq = line.find('=');
        if (eq != std::string::npos) {
            const std::string v = line.substr(eq + 1, line.size() - eq - 2);
            if (!v.empty() && v.find_first_not_of("-0123456789") == std::string::npos)
                line = line.substr(0, eq + 1) + value + "\r";
        }
        out += line + "\n";
    }
    return out;
}

// The records whose files are kept: the defaults, and two read from seeded units.
struct SavedRecord {
    const char* name;
    uint64_t seed;
    int version;
    uint8_t flags;
    bool read;
};

constexpr SavedRecord kSaved[] = {
    {"defaults", 0, 15, 0, false},
    {"v14-petrol", 1, 14, 0, true},
    {"v15-no-petrol", 2, 15, 4, true},
};

std::string LoadCase(const std::string& title, const std::string& file, int scope, uint64_t seed = 9)
{
    Bench b(seed, 15, "loaded.vap");
    const std::string before = DumpRecord(b.car);
    const bool ok = b.car.LoadFromFile(file, scope);
    std::string text = "== " + title + " scope " + std::to_string(scope) + "\n" + b.trace.Text() + "returned " +
                       std::to_string(ok) + " error " + std::to_string(static_cast<int>(b.car.LastFileError())) + "\n";
    for (const std::string& key : b.car.CorrectedKeys())
        text += "corrected " + key + "\n";
    return text + Changes(before, DumpRecord(b.car));
}

} // namespace

TEST_F(GoldenTrace, SavedFiles)
{
    std::string text;
    for (const SavedRecord& r : kSaved) {
        Bench b(r.seed, r.version);
        b.link.flags = r.flags;
        if (r.read)
            b.car.ReadAll();
        SetVehicle(b.car);
        for (int scope = 0; scope < 3; ++scope) {
            const std::string name = std::string(r.name) + "-s" + std::to_string(scope);
            b.trace.lines.clear();
            const bool ok = b.car.SaveToFile((root / (name + ".vap")).string(), scope);
            const std::string encoded = test::ReadAll(root / (name + ".vap"));
            text += "== save " + name + "\n" + b.trace.Text() + "returned " + std::to_string(ok) + " bytes " +
                    std::to_string(encoded.size()) + " fnv " + Hex(Fnv(encoded)) + "\n";
            ExpectGolden("saved/" + name + ".txt", Plain(encoded));
        }
    }
    ExpectGolden("files-save.txt", text);
}

TEST_F(GoldenTrace, LoadedFiles)
{
    Bench source(1, 14);
    source.car.ReadAll();
    SetVehicle(source.car);
    const std::string encoded = (root / "source.vap").string();
    ASSERT_TRUE(source.car.SaveToFile(encoded, 0));
    const std::string plain = Put("plain.vap", Plain(test::ReadAll(encoded)));
    const std::string high = Put("high.vap", Wild(Plain(test::ReadAll(encoded)), "70000"));
    const std::string low = Put("low.vap", Wild(Plain(test::ReadAll(encoded)), "-70000"));
    const std::string sparse = Put("sparse.vap", "DVMF\r\n[Generale]\r\nNomeConfigurazione=ab\r\nPotenza=7550\r\n"
                                                 "Cilindrata=40\r\n[Carburazione]\r\nEffettoClima=3\r\n"
                                                 "[Arricchimento]\r\nTempoArrBenzina=9\r\nTempoArrBenzina3=12\r\n"
                                                 "[MappaCarburazione]\r\nMappa0_0=7\r\nMappa7_19=9\r\n");

    std::string text;
    for (int scope = 0; scope < 3; ++scope) {
        text += LoadCase("encoded", encoded, scope);
        text += LoadCase("sparse", sparse, scope);
    }
    text += LoadCase("plain", plain, 0);
    // Every key of a whole file beyond either end of its range; scope 2 shifts the map by the effect.
    text += LoadCase("high", high, 0);
    text += LoadCase("low", low, 0);
    text += LoadCase("high", high, 2);

    Bench b(9, 15, "loaded.vap");
    int32_t map[ConfCar::kMapRows][ConfCar::kMapCols]{}, rpm[ConfCar::kMapCols]{}, mapRefs[ConfCar::kMapRows]{};
    const bool ok = b.car.ReadGasMapFromFile(encoded, map, rpm, mapRefs);
    text += "== gas map from file\n" + b.trace.Text() + "returned " + std::to_string(ok) + "\n";
    for (const auto& row : map)
        text += "map " + Join(row, ConfCar::kMapCols) + "\n";
    text += "rpm " + Join(rpm, ConfCar::kMapCols) + "\nmapRefs " + Join(mapRefs, ConfCar::kMapRows) + "\n";

    bool methane = true;
    const bool official = ConfCar::ReadFileFlags(encoded, &methane);
    std::string prog;
    bool official2 = false;
    ConfCar::ReadFileProg(encoded, &prog, &official2);
    VehicleData v;
    ConfCar::ReadVehicleData(encoded, v);
    text += "== header\nflags " + std::to_string(official) + " " + std::to_string(methane) + "\nprog " + prog + " " +
            std::to_string(official2) + "\nvehicle " + v.DescrizAuto + "|" + v.Euro + "|" + v.Motore + "|" +
            v.Centralina + "|" + v.Cambio + "|" + std::to_string(v.AnnoVettura) + "|" + std::to_string(v.CentCubici) +
            "|" + std::to_string(v.Valvole) + "|" + std::to_string(v.NCilindri) + "|" +
            std::to_string(std::llround(v.Potenza)) + "\n";
    ExpectGolden("files-load.txt", text);
}

TEST_F(GoldenTrace, ParamsByIdentifier)
{
    Bench b(21, 15);
    b.car.ReadAll();
    std::vector<int32_t> ids;
    for (int32_t id = -1; id < 1200; ++id)
        ids.push_back(id);
    for (int32_t id : {24117274, 50331674, 53477402, 82700, 9017})
        ids.push_back(id);
    auto micro = [](double v) { return std::to_string(std::llround(v * 1e6)); };
    std::string text;
    for (int32_t id : ids) {
        b.trace.lines.clear();
        const double v = b.car.GetParam(id);
        if (v == 800000 && b.trace.lines.empty())
            continue;
        text += "== " + std::to_string(id) + " get " + micro(v) + "\n" + b.trace.Text();
        for (double value : {0.5, 3.0, 250.0, -2.0, 70000.0}) {
            b.trace.lines.clear();
            const int result = b.car.SetParam(id, value);
            const double after = b.car.GetParam(id);
            text += "set " + micro(value) + " -> " + std::to_string(result) + " get " + micro(after) + "\n" +
                    b.trace.Text();
        }
    }
    ExpectGolden("params.txt", text);
}

TEST_F(GoldenTrace, UnitParameterTable)
{
    std::ostringstream s;
    for (const sernox::ParamDef& d : sernox::ParamTable())
        s << "unit " << d.number << " " << d.rows << "x" << d.columns << " word " << d.word << " signed "
          << d.isSigned << " readOnly " << d.readOnly << " range " << d.min << ".." << d.max << "\n";
    for (const params::Param* p : params::All()) {
        const ids::RawRange r = p->Range();
        s << "param " << p->number << " single " << p->Single() << " block " << p->Block() << " count "
          << (p->Block() != 0 ? p->Columns() : 0) << " range " << r.min << ".." << r.max << " readOnly "
          << p->readOnly << "\n";
    }
    // How every element of the record is named, and the parameter whose range it keeps.
    ConfCar car("x.vap", nullptr);
    std::vector<std::string> names;
    std::map<const params::Param*, std::string> lines;
    for (const params::Param* p : params::All())
        for (int i = 0; p->HasField() && i < p->Count(); ++i) {
            const params::Element e = params::FindElement(car, p->Data(car) + i);
            if (e.param == p)
                lines[p] += " " + e.Key();
        }
    for (const auto& [p, keys] : lines)
        names.push_back("field " + std::string(p->key) + " param " + std::to_string(p->number) + " " +
                        std::to_string(p->Rows()) + "x" + std::to_string(p->Columns()) + " keys" + keys);
    std::sort(names.begin(), names.end());
    for (const std::string& n : names)
        s << n << "\n";
    ExpectGolden("unit-table.txt", s.str());
}
