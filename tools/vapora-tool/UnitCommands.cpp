#include "UnitCommands.h"

#include "LinkLibrary.h"
#include "PortCheck.h"
#include "PortCommands.h"
#include "Progress.h"
#include "RestoreCommands.h"
#include "ToolCommands.h"

#include "calib/AcquisitionFile.h"
#include "calib/LiveFrame.h"
#include "model/ConfCar.h"
#include "model/FileCodec.h"
#include "model/ParamIds.h"
#include "model/PlatformFiles.h"
#include "model/SafeFile.h"
#include "model/ScratchFiles.h"
#include "model/TransferOutcome.h"
#include "model/UnitRules.h"
#include "wire/LinkChoice.h"
#include "wire/LinkSetting.h"

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <iomanip>
#include <memory>
#include <optional>
#include <ostream>
#include <sstream>


namespace vapora::tool {
namespace {

namespace fs = std::filesystem;

constexpr uint32_t kLiveTickMs = 150; // the live strip's period
constexpr int kSlowPeriod = 10;       // status block every eleventh tick, as the strip reads it
constexpr int kDefaultLogSeconds = 10;
constexpr int kMaxLogSeconds = 24 * 3600;

struct UnitFailure {
    int status;
    std::string message;
};

struct Options {
    std::vector<std::string> operands;
    std::optional<std::string> link;
    std::optional<std::string> baud;
    std::optional<std::string> scope;
    std::optional<std::string> seconds;
    std::optional<std::string> home;
    bool noRestorePoint = false;
    bool plain = false;
    bool quiet = false;
};

Options ParseOptions(const std::vector<std::string>& args)
{
    Options o;
    auto value = [&](size_t& i, const std::string& name) {
        if (i + 1 >= args.size())
            throw UnitFailure{kBadInput, name + " needs a value"};
        return args[++i];
    };
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--link")
            o.link = value(i, a);
        else if (a == "--baud")
            o.baud = value(i, a);
        else if (a == "--scope")
            o.scope = value(i, a);
        else if (a == "--seconds")
            o.seconds = value(i, a);
        else if (a == "--home")
            o.home = value(i, a);
        else if (a == "--no-restore-point")
            o.noRestorePoint = true;
        else if (a == "--plain")
            o.plain = true;
        else if (a == "--quiet")
            o.quiet = true;
        else if (a.size() > 2 && a.compare(0, 2, "--") == 0)
            throw UnitFailure{kBadInput, "unknown option '" + a + "'"};
        else
            o.operands.push_back(a);
    }
    return o;
}

int Number(const std::string& text, int low, int high, const std::string& what)
{
    int value = 0;
    size_t used = 0;
    try {
        value = std::stoi(text, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || used != text.size() || value < low || value > high)
        throw UnitFailure{kBadInput, what + " must be a whole number from " + std::to_string(low) + " to " +
                                         std::to_string(high) + " (got '" + text + "')"};
    return value;
}

// The setting text the library is given: --link (or the environment's) with --baud put in.
std::optional<std::string> LinkSettingText(const Options& o)
{
    std::optional<std::string> text = o.link;
    if (!text) {
        if (const char* env = std::getenv("VAPORA_LINK"); env != nullptr && *env != '\0')
            text = env;
    }
    if (text) {
        const sernox::wire::LinkSetting parsed = sernox::wire::ParseLinkSetting(*text);
        if (parsed.kind == sernox::wire::LinkSetting::Kind::Invalid)
            throw UnitFailure{kBadInput, "bad link setting '" + *text + "': " + parsed.error};
    }
    if (!o.baud)
        return text;
    Number(*o.baud, 1, 4000000, "--baud");
    if (!text || sernox::wire::ParseLinkSetting(*text).kind != sernox::wire::LinkSetting::Kind::Serial)
        throw UnitFailure{kBadInput, "--baud needs a serial link (--link serial:PORT)"};
    // serial:PORT[@BAUD][,options]: the rate sits between the port and the options.
    std::string& s = *text;
    const size_t optionsAt = s.find(',');
    std::string head = s.substr(0, optionsAt);
    const std::string tail = optionsAt == std::string::npos ? std::string() : s.substr(optionsAt);
    if (const size_t at = head.rfind('@'); at != std::string::npos)
        head.erase(at);
    s = head + "@" + *o.baud + tail;
    return text;
}

void SetLinkEnvironment(const std::optional<std::string>& text)
{
    if (!text)
        return;
#if defined(_WIN32)
    _putenv_s("VAPORA_LINK", text->c_str());
#else
    setenv("VAPORA_LINK", text->c_str(), 1);
#endif
}

std::string Hex(int value)
{
    std::ostringstream s;
    s << "0x" << std::hex << std::setw(4) << std::setfill('0') << value;
    return s.str();
}

// The link object, the record on it and what the link reported.
class Session final : public LinkScreen {
public:
    Session(const UnitEnvironment& env, const Options& options, Progress& progress)
        : progress_(progress), clock_(env.clock != nullptr ? *env.clock : SystemClock())
    {
        SetLinkEnvironment(LinkSettingText(options));
        const fs::path file = env.library.empty() ? LinkLibrary::Locate() : env.library;
        libraryFolder_ = file.parent_path();
        // Said before the link is opened: a port that is missing or closed to this user.
        if (const auto problem = PortProblem(file.parent_path(), ItalianLocale()))
            throw UnitFailure{kNoUnit, *problem};
        if (!library_.Load(file))
            throw UnitFailure{kNoUnit, library_.Error()};
        link_ = library_.Create();
        if (link_ == nullptr)
            throw UnitFailure{kNoUnit, library_.Error()};
        link_->Init(0);
        link_->Configure(5);
        link_->AttachScreen(this);
        car_ = std::make_unique<ConfCar>("default.mur", link_, clock_);
        car_->SetProgressSink([this](int32_t amount, bool add) { progress_.Report(amount, add); });
    }

    ~Session()
    {
        car_.reset();
        if (link_ != nullptr && link_->IsConnected() != 0)
            link_->Disconnect();
    }

    void PostState(int32_t state) override
    {
        if (state == 0)
            lost_ = true;
    }
    void SendProgress(int32_t amount, int32_t add) override { progress_.Report(amount, add != 0); }

    // Opens the link and accepts the unit as the program does: identification,
    // family, compatibility, ready.
    void Connect()
    {
        if (!link_->OpenLink())
            throw UnitFailure{kNoUnit, "cannot open the link to the unit"};
        link_->Connect();
        if (!car_->ReadIdentification()) {
            link_->Disconnect();
            throw UnitFailure{kNoUnit, "no unit answers on the link"};
        }
        if (!unitrules::IsSupportedFamily(car_->IdUnita)) {
            link_->Disconnect();
            throw UnitFailure{kNoUnit, "the unit is not of the family this program serves (identification " +
                                           IdText() + ")"};
        }
        words_ = unitrules::ReadCompatibilityWords(*car_);
        // No warning interval on the command line: every run says it.
        compatibility_ = unitrules::CheckCompatibility(words_.a, words_.b, 0, -unitrules::kWarningInterval - 1);
        if (compatibility_ == unitrules::Compatibility::Refuse) {
            link_->Disconnect();
            throw UnitFailure{kNoUnit, "the unit needs a newer program (compatibility words " + Hex(words_.a) + ", " +
                                           Hex(words_.b) + ")"};
        }
        if (compatibility_ == unitrules::Compatibility::Warn)
            progress_.Line("warning: the unit is newer than this program; some of its functions may be missing");
        car_->WaitUnitReady(unitrules::kReadyTimeoutMs);
        lost_ = false;
    }

    bool LinkLost() const { return lost_ || link_->IsConnected() == 0; }
    void ForgetLoss() { lost_ = false; }

    std::string IdText() const
    {
        std::ostringstream s;
        for (int i = 0; i < 4; ++i)
            s << (i ? "." : "") << static_cast<int>(car_->IdUnita[i]);
        return s.str();
    }

    // The link setting the library goes by: --link, the environment or its own file.
    sernox::wire::LinkSetting Setting() const
    {
        return sernox::wire::ParseLinkSetting(
            sernox::wire::ResolveLinkSetting(libraryFolder_, sernox::wire::UserSettingsFile()).text);
    }

    SerialLink& Link() { return *link_; }
    ConfCar& Car() { return *car_; }
    Clock& TheClock() { return clock_; }
    unitrules::CompatibilityWords Words() const { return words_; }
    unitrules::Compatibility CompatibilityResult() const { return compatibility_; }

private:
    Progress& progress_;
    Clock& clock_;
    LinkLibrary library_;
    fs::path libraryFolder_;
    SerialLink* link_ = nullptr;
    std::unique_ptr<ConfCar> car_;
    bool lost_ = false;
    unitrules::CompatibilityWords words_;
    unitrules::Compatibility compatibility_ = unitrules::Compatibility::Accept;
};

void ExpectOperands(const Options& o, size_t n, const char* what)
{
    if (o.operands.size() != n)
        throw UnitFailure{kBadInput, std::string("expected ") + what};
}

// A target that can take a file: not a folder, in a folder that exists.
void CheckTarget(const std::string& path)
{
    std::error_code ec;
    if (path.empty())
        throw UnitFailure{kBadInput, "the output file name is empty"};
    if (fs::is_directory(LocalPath(path), ec))
        throw UnitFailure{kBadInput, "'" + path + "' is a folder"};
    const fs::path parent = fs::absolute(LocalPath(path), ec).parent_path();
    if (!fs::is_directory(parent, ec))
        throw UnitFailure{kBadInput, "the folder of '" + path + "' does not exist"};
}

void CheckSource(const std::string& path)
{
    std::error_code ec;
    if (fs::is_directory(LocalPath(path), ec))
        throw UnitFailure{kBadInput, "'" + path + "' is a folder"};
    if (!fs::is_regular_file(LocalPath(path), ec))
        throw UnitFailure{kBadInput, "cannot read '" + path + "': no such file"};
}

// ---- info ----

int Info(const Options& o, Session& session, std::ostream& out)
{
    ExpectOperands(o, 0, "no file");
    session.Connect();
    ConfCar& car = session.Car();
    int32_t status[20]{};
    const bool fuelKnown = session.Link().ReadParam(ids::kStatoConfigBlock, status);
    if (session.LinkLost())
        throw UnitFailure{kNoUnit, "the link was lost while reading the unit"};
    const char* verdict = session.CompatibilityResult() == unitrules::Compatibility::Accept ? "compatible"
                                                                                          : "newer than this program";
    out << "Identification: " << session.IdText() << "\n"
        << "Model:          " << car.ModelCode() << "\n"
        << "Software:       " << car.SoftwareVersion() << "\n"
        << "Fuel:           " << (!fuelKnown ? "unknown (not read)" : (status[0] & 0x40) != 0 ? "methane" : "LPG")
        << "\n"
        << "Compatibility:  " << Hex(session.Words().a) << " " << Hex(session.Words().b) << " (" << verdict << ")\n";
    return kDone;
}

// ---- read ----

int Read(const Options& o, Session& session, Progress& progress, std::ostream& out)
{
    ExpectOperands(o, 1, "OUT");
    const std::string target = o.operands[0];
    CheckTarget(target);
    session.Connect();
    progress.Start("read");
    session.Car().ReadAll();
    progress.Finish();
    const TransferOutcome& outcome = session.Car().LastTransfer();
    if (outcome.linkLost || session.LinkLost())
        throw UnitFailure{kNoUnit, "the link was lost during the read (read " + std::to_string(outcome.groupsDone) +
                                       " of " + std::to_string(outcome.groupsTotal) + " groups); '" + target +
                                       "' was not written"};
    // The groups the unit would not give hold the record's own values, not the unit's.
    if (!outcome.refusals.empty()) {
        for (const std::string& key : outcome.RefusedGroupKeys())
            progress.Line("refused: " + key);
        const size_t count = outcome.refusals.size();
        throw UnitFailure{kRefused, "the unit refused to give " + std::to_string(count) + " of " +
                                        std::to_string(outcome.groupsTotal) + " groups; '" + target +
                                        "' was not written"};
    }

    ConfCar& car = session.Car();
    if (!o.plain) {
        if (!car.SaveToFile(target, 0))
            throw UnitFailure{kBadInput, Explain("write", target, car.LastFileError())};
    } else {
        // Saved encoded under the target's own name (the record takes its name from the file),
        // then decoded over the target in one replace.
        std::error_code ec;
        const fs::path scratchFolder = fs::temp_directory_path(ec) / ScratchName(kDecodeScratchPrefix);
        fs::create_directories(scratchFolder, ec);
        const fs::path scratch = scratchFolder / LocalPath(target).filename();
        FileError why = FileError::Other;
        bool saved = car.SaveToFile(LocalText(scratch), 0);
        if (!saved)
            why = car.LastFileError();
        else if (std::string bytes; !ReadFileBytes(scratch, bytes, &why) ||
                                    !WriteFileReplacing(LocalPath(target), CryptBytes(bytes, true, true, ""), &why))
            saved = false;
        fs::remove_all(scratchFolder, ec);
        if (!saved)
            throw UnitFailure{kBadInput, Explain("write", target, why)};
    }
    out << "read unit " << session.IdText() << " into " << target << (o.plain ? " (plain)" : "") << "\n";
    return kDone;
}

// ---- restore points ----

// Where the unit's configuration is kept before it is overwritten; none with --no-restore-point.
std::optional<restore::Store> RestoreStore(const Options& o)
{
    if (o.noRestorePoint)
        return std::nullopt;
    try {
        restore::Store store(RestoreHome(o.home));
        // Scratch files that a killed run of the tool left there.
        RemoveStaleScratchFiles(store.Folder());
        return store;
    } catch (const std::runtime_error& e) {
        throw UnitFailure{kBadInput, e.what()};
    }
}

// Reads the whole configuration of the connected unit into the record; `before` says what the
// read is for, in the messages.
void ReadWhole(Session& session, Progress& progress, const std::string& before)
{
    progress.Start("read");
    session.Car().ReadAll();
    progress.Finish();
    const TransferOutcome& outcome = session.Car().LastTransfer();
    if (outcome.linkLost || session.LinkLost())
        throw UnitFailure{kNoUnit, "the link was lost while reading the unit " + before + " (read " +
                                       std::to_string(outcome.groupsDone) + " of " +
                                       std::to_string(outcome.groupsTotal) + " groups)"};
    if (!outcome.refusals.empty()) {
        for (const std::string& key : outcome.RefusedGroupKeys())
            progress.Line("refused: " + key);
        throw UnitFailure{kRefused, "the unit refused to give " + std::to_string(outcome.refusals.size()) + " of " +
                                        std::to_string(outcome.groupsTotal) + " groups " + before};
    }
}

// A restore point of what the record holds; false with the cause on `err` when it could not be written.
bool TakePoint(restore::Store& store, ConfCar& car, restore::Reason reason, std::ostream& out, std::string& failure)
{
    const restore::TakeResult taken = store.Take(car, reason);
    if (taken.status == restore::TakeStatus::Failed) {
        failure = Explain("write", PointFileText(store.Folder()), taken.error);
        return false;
    }
    if (taken.status == restore::TakeStatus::Taken)
        out << "restore point " << PointFileText(taken.file) << "\n";
    return true;
}

// ---- write ----

int Write(const Options& o, Session& session, Progress& progress, std::ostream& out)
{
    ExpectOperands(o, 1, "IN");
    const std::string source = o.operands[0];
    CheckSource(source);
    const int scope = o.scope ? Number(*o.scope, 0, 2, "--scope") : 0;
    std::optional<restore::Store> store = RestoreStore(o);
    {
        // Nothing is read from, or written to, the unit for a file that cannot be loaded.
        ConfCar check("default.mur", nullptr);
        if (!check.LoadFromFile(source, scope))
            throw UnitFailure{kBadInput, Explain("load", source, check.LastFileError())};
    }
    session.Connect();
    ConfCar& car = session.Car();
    // The record first holds the unit's whole configuration, as the program's connected record
    // does: the parts the file or its scope leave out (the adaptive table, the counters and
    // running times, the maps of a scope 2 file) are written back as the unit had them.
    car.WriteThrough = false;
    ReadWhole(session, progress, "before writing; nothing was written");
    if (store) {
        std::string failure;
        if (!TakePoint(*store, car, restore::Reason::FileLoad, out, failure))
            throw UnitFailure{kBadInput, "no restore point: " + failure +
                                             "; nothing was written to the unit (--no-restore-point writes without one)"};
    }
    if (!car.LoadFromFile(source, scope))
        throw UnitFailure{kBadInput, Explain("load", source, car.LastFileError())};
    car.WriteThrough = true;
    for (const std::string& key : car.CorrectedKeys())
        progress.Line("warning: '" + source + "': " + key + " is outside its range; corrected before writing");
    progress.Start("write");
    car.WriteAll();
    progress.Finish();
    const TransferOutcome& outcome = car.LastTransfer();
    if (outcome.linkLost || session.LinkLost())
        throw UnitFailure{kNoUnit, "the link was lost during the write (wrote " + std::to_string(outcome.groupsDone) +
                                       " of " + std::to_string(outcome.groupsTotal) +
                                       " groups); the unit holds part of '" + source + "'"};
    // A refusal of what the unit already holds loses nothing: said, not failed.
    for (const std::string& key : outcome.KeptGroupKeys())
        progress.Line("kept as it was: " + key + " (the unit refused it but already holds the value sent)");
    if (!outcome.refused.empty()) {
        for (const RefusedValue& value : outcome.refused)
            progress.Line("refused: " + value.key + " = " + std::to_string(value.sent) + " (the unit keeps " +
                          std::to_string(value.held) + ")");
        const size_t count = outcome.refused.size();
        throw UnitFailure{kRefused, "the unit refused " + std::to_string(count) + " value" + (count == 1 ? "" : "s") +
                                        " of '" + source + "'"};
    }
    out << "wrote " << source << " (scope " << scope << ") to unit " << session.IdText() << "\n";
    return kDone;
}

// ---- program ----

bool EndsWithNoCase(const std::string& s, const std::string& suffix)
{
    if (s.size() < suffix.size())
        return false;
    for (size_t i = 0; i < suffix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(s[s.size() - suffix.size() + i])) != suffix[i])
            return false;
    return true;
}

int Program(const Options& o, Session& session, Progress& progress, std::ostream& out)
{
    ExpectOperands(o, 1, "FIRMWARE");
    const std::string firmware = o.operands[0];
    CheckSource(firmware);
    const bool encoded = EndsWithNoCase(firmware, ".pec");
    if (!encoded && !EndsWithNoCase(firmware, ".s19"))
        throw UnitFailure{kBadInput, "'" + firmware + "' is neither a .s19 nor a .pec firmware file"};

    // Programming skips identification, so that a unit with broken software can be
    // reflashed; but a port that cannot be opened at all is no unit, as for every command.
    const sernox::wire::LinkSetting setting = session.Setting();
    if (setting.kind == sernox::wire::LinkSetting::Kind::Invalid)
        throw UnitFailure{kNoUnit, "cannot open the link to the unit: its setting cannot be understood (" +
                                       setting.error + ")"};
    if (std::string why; setting.kind == sernox::wire::LinkSetting::Kind::Serial && !PortOpens(setting.port, why))
        throw UnitFailure{kNoUnit, "cannot open the link to the unit: '" + setting.port + "': " + why};

    // An encoded image is decoded into a working file of this command only.
    std::error_code ec;
    fs::path working;
    if (encoded) {
        working = fs::temp_directory_path(ec) / ScratchName(kDecodeScratchPrefix);
        if (!CryptFile(LocalPath(firmware), working, true, false))
            throw UnitFailure{kBadInput, "cannot decode '" + firmware + "'"};
    }
    struct RemoveWorking {
        fs::path path;
        ~RemoveWorking()
        {
            std::error_code e;
            if (!path.empty())
                fs::remove(path, e);
        }
    } cleanup{working};
    const std::string image = encoded ? LocalText(working) : firmware;

    // A restore point of the configuration before, when the unit answers a read; one with broken
    // software does not, and is programmed without.
    std::optional<restore::Store> store = RestoreStore(o);
    if (store) {
        bool read = false;
        try {
            session.Connect();
            ReadWhole(session, progress, "before programming");
            read = true;
        } catch (const UnitFailure& f) {
            progress.Line("the unit cannot be read before programming: " + f.message);
        }
        if (read) {
            std::string failure;
            if (!TakePoint(*store, session.Car(), restore::Reason::BeforeProgramming, out, failure))
                throw UnitFailure{kBadInput, "no restore point: " + failure +
                                                 "; the unit was not programmed (--no-restore-point programs without one)"};
        } else {
            out << "no restore point: the unit did not answer a read before programming\n";
        }
        session.ForgetLoss();
    }

    SerialLink& link = session.Link();
    if (link.IsConnected() != 0)
        link.Disconnect();
    link.BeginProgramming();
    int32_t result = unitrules::kProgramDone;
    for (int attempt = 1; attempt <= unitrules::kFirmwareAttempts; ++attempt) {
        progress.Start(attempt == 1 ? std::string("program") : "program (attempt " + std::to_string(attempt) + ")");
        result = link.ProgramFirmware(image.c_str(), 2, 0, 1);
        progress.Finish();
        // A low battery is for the installer to see to, not for another attempt.
        if (result == unitrules::kProgramDone || result == unitrules::kProgramBatteryLow)
            break;
        if (attempt < unitrules::kFirmwareAttempts)
            progress.Line("programming failed; trying again");
    }
    link.EndProgramming();
    if (result == unitrules::kProgramBatteryLow)
        throw UnitFailure{kProgrammingFailed, "programming stopped: the battery voltage is too low"};
    if (result != unitrules::kProgramDone)
        throw UnitFailure{kProgrammingFailed, "programming failed after " +
                                                  std::to_string(unitrules::kFirmwareAttempts) + " attempts"};
    session.ForgetLoss();
    session.Connect();
    out << "programmed " << firmware << "; unit " << session.IdText() << " runs software "
        << session.Car().SoftwareVersion() << "\n";
    if (store) {
        // And of the configuration the new software keeps.
        ReadWhole(session, progress, "after programming; no restore point of it was taken");
        std::string failure;
        if (!TakePoint(*store, session.Car(), restore::Reason::AfterProgramming, out, failure))
            throw UnitFailure{kBadInput, "no restore point after programming: " + failure};
    }
    return kDone;
}

// ---- log ----

std::string Now()
{
    const std::time_t t = std::time(nullptr);
    std::tm local{};
#if defined(_WIN32)
    localtime_s(&local, &t);
#else
    localtime_r(&t, &local);
#endif
    std::ostringstream s;
    s << std::put_time(&local, "%d/%m/%Y %H:%M:%S");
    return s.str();
}

int Log(const Options& o, Session& session, Progress& progress, std::ostream& out)
{
    ExpectOperands(o, 1, "OUT");
    const std::string target = o.operands[0];
    CheckTarget(target);
    const int seconds = o.seconds ? Number(*o.seconds, 1, kMaxLogSeconds, "--seconds") : kDefaultLogSeconds;
    // Saved as every file is: a target that cannot be replaced is refused before recording,
    // and the old one stays until the recording is whole on the disk.
    ReplacingFile file;
    if (!file.Open(LocalPath(target)))
        throw UnitFailure{kBadInput, Explain("write", target, file.Error())};
    auto failed = [&] { return UnitFailure{kBadInput, Explain("write", target, file.Error())}; };

    session.Connect();
    ConfCar& car = session.Car();
    SerialLink& link = session.Link();
    // What decoding needs of the configuration: the probe count and the fuel.
    link.ReadParam(ids::kFlag1, &car.Flag1);
    link.ReadParam(ids::kStatoConfigBlock, car.StatoConfigurazione);
    const double coefficient = car.GetStatusFlag(ConfCar::kMethane) ? kPressureCoeffCng : kPressureCoeffLpg;
    if (!file.Append(AcquisitionHeader(Now())))
        throw failed();

    Clock& clock = session.TheClock();
    const uint32_t duration = static_cast<uint32_t>(seconds) * 1000;
    const uint32_t start = clock.TickCount();
    EngineValues engine;
    StatusValues status;
    int slow = 0;
    size_t records = 0;
    bool lost = false;
    progress.Start("log");
    for (uint32_t tick = 0; tick < duration; tick += kLiveTickMs) {
        const uint32_t due = start + tick;
        const uint32_t now = clock.TickCount();
        if (static_cast<int32_t>(due - now) > 0)
            clock.Sleep(due - now);
        uint8_t buffer[kLiveBufferSize]{};
        int32_t length = kLiveBufferSize;
        if (link.ReadLive(0, buffer, &length) &&
            DecodeEngineBlock(buffer, length, coefficient, car.HasTwoProbes(), car.IsUnitKind3(), engine)) {
            if (slow-- == 0) {
                uint8_t block[kLiveBufferSize]{};
                int32_t n = kLiveBufferSize;
                // A failed status read is tried again on the next tick.
                slow = link.ReadLive(1, block, &n) && DecodeStatusBlock(block, n, status) ? kSlowPeriod : 0;
            }
            if (!file.Append(AcquisitionLine(MakeRecordLine(clock.TickCount() - start, engine, status)))) {
                progress.Finish();
                throw failed();
            }
            ++records;
        }
        if (session.LinkLost()) {
            lost = true;
            break;
        }
        progress.Report(static_cast<int>(static_cast<uint64_t>(tick + kLiveTickMs) * 100 / duration), false);
    }
    progress.Finish();
    if (!file.Commit())
        throw failed();
    if (lost)
        throw UnitFailure{kNoUnit, "the link was lost after " + std::to_string(records) + " records; '" + target +
                                       "' holds them"};
    out << "recorded " << records << " records in " << target << "\n";
    return kDone;
}

} // namespace

const char* UnitUsage()
{
    return "       vapora-tool unit info [LINK]\n"
           "       vapora-tool unit read OUT [--plain] [LINK]\n"
           "       vapora-tool unit write IN [--scope N] [POINT] [LINK]\n"
           "       vapora-tool unit program FIRMWARE.s19|FIRMWARE.pec [POINT] [LINK]\n"
           "       vapora-tool unit log OUT.txt [--seconds N] [LINK]\n"
           "       vapora-tool unit ports\n"
           "  LINK: [--link SPEC] [--baud N] [--quiet]; SPEC as VAPORA_LINK: sim, or\n"
           "        serial:PORT[@BAUD][,answer=MS][,attempts=N][,silent=N][,gap=MS]\n"
           "        (default: VAPORA_LINK, else the program's setting, see 'unit ports')\n"
           "  POINT: [--home DIR] [--no-restore-point]; the unit's configuration is first\n"
           "        kept as a restore point in DIR/Storico (default: the current folder when\n"
           "        it is a main folder, else the user's); see 'vapora-tool history'\n"
           "  exit status: 0 done, 1 bad input, 2 no unit or link lost, 3 unit refused values\n"
           "               or reads, 4 programming failed\n";
}

int RunUnit(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, const UnitEnvironment& env)
{
    const std::string what = args.size() > 1 ? args[1] : std::string();
    try {
        std::vector<std::string> rest(args.begin() + (args.empty() ? 0 : 1), args.end());
        if (rest.empty())
            throw UnitFailure{kBadInput, "expected info, read, write, program, log or ports"};
        const Options o = ParseOptions(rest);
        if (what == "ports") {
            ExpectOperands(o, 0, "nothing after ports");
            SetLinkEnvironment(LinkSettingText(o));
            return ListPorts((env.library.empty() ? LinkLibrary::Locate() : env.library).parent_path(), out);
        }
        if (what != "info" && what != "read" && what != "write" && what != "program" && what != "log")
            throw UnitFailure{kBadInput, "unknown unit command '" + what + "'"};
        if ((o.home || o.noRestorePoint) && what != "write" && what != "program")
            throw UnitFailure{kBadInput, "--home and --no-restore-point go with write and program only"};
        Progress progress(err, env.terminal, o.quiet);
        Session session(env, o, progress);
        if (what == "info")
            return Info(o, session, out);
        if (what == "read")
            return Read(o, session, progress, out);
        if (what == "write")
            return Write(o, session, progress, out);
        if (what == "program")
            return Program(o, session, progress, out);
        return Log(o, session, progress, out);
    } catch (const UnitFailure& f) {
        err << "vapora-tool unit" << (what.empty() ? "" : " " + what) << ": " << f.message << "\n";
        return f.status;
    } catch (const std::exception& e) {
        err << "vapora-tool unit" << (what.empty() ? "" : " " + what) << ": " << e.what() << "\n";
        return kBadInput;
    }
}

} // namespace vapora::tool
