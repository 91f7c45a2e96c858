#pragma once
// The one in-memory image of the unit's configuration. Fields hold the unit's
// raw values; the accessors convert to engineering units and, with WriteThrough
// on, send every change to the unit first and keep it only when accepted.

#include "link/SerialLink.h"
#include "model/Clock.h"
#include "model/IoBaseData.h"
#include "model/TransferOutcome.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vapora {

struct PuntoAppreso {
    int32_t Giri = 0;      // engine rpm
    int32_t Map = 0;       // MAP value, thousandths
    int32_t nGiri = 0;     // petrol-map rpm column 0..11
    int32_t nMap = 0;      // petrol-map MAP row 0..11
    int32_t Iniezione = 0; // petrol injection, thousandths of a millisecond
    int32_t n = 0;         // point number
};

// Vehicle data as a file header carries it.
struct VehicleData {
    std::string DescrizAuto, Euro, Motore, Centralina, Cambio;
    int32_t AnnoVettura = 0, CentCubici = 0, Valvole = 0, NCilindri = 0;
    double Potenza = 0; // as stored in the file: power x 100
};

class ConfCar : public IoBaseData {
public:
    static constexpr int kMapRows = 8;
    static constexpr int kMapCols = 20;
    static constexpr int kPetrolSize = 12;
    static constexpr int kBands = 6;
    static constexpr int kNameLength = 18;
    static constexpr int kOfficial = 128;
    static constexpr int kMethane = 64;

    using ProgressSink = std::function<void(int32_t amount, bool add)>;
    using NameChangedSink = std::function<void()>;

    // link may be null: the record then behaves as with an unconnected link.
    ConfCar(const std::string& fileName, SerialLink* link, Clock& clock = SystemClock());
    ~ConfCar() override;

    void SetProgressSink(ProgressSink sink) { progress_ = std::move(sink); }
    void SetNameChangedSink(NameChangedSink sink) { nameChanged_ = std::move(sink); }
    SerialLink* Link() const { return link_; }

    // Defaults and learned points.
    void SetDefaults(bool keepMaps);
    void ClearLearnedPoints();
    int AddLearnedPoint(int giri, double map, double iniezione, int nGiri, int nMap, int n);
    bool NoLearnedPoints() const { return PuntiAppresi.empty(); }
    bool IsCellLearned(int nMap, int nGiri) const;

    // Tables.
    int GetGasMapCell(int row, int col) const;
    void SetGasMapCell(int row, int col, int steps);
    int GetAdaptCell(int row, int col) const;
    void SetAdaptCell(int row, int col, int steps);
    double GetMapRef(int index) const;
    void SetMapRef(int index, double volts);
    int GetRpmRef(int index) const;
    void SetRpmRef(int index, int rpm);
    double GetPetrolMapCell(int row, int col) const;
    void SetPetrolMapCell(int row, int col, double ms);
    double GetPetrolMapRef(int index) const;
    void SetPetrolMapRef(int index, double volts);
    int GetPetrolRpmRef(int index) const;
    void SetPetrolRpmRef(int index, int rpm);
    int GetOpenLoop(int col, int part) const;
    void SetOpenLoop(int col, int part, int value);
    int GetStepParam(int col, int kind) const;
    void SetStepParam(int col, int kind, int value);
    int GetSensorRef(int index) const;
    void SetSensorRef(int index, int value);
    int GetEnrichParam(int band, int kind) const;
    void SetEnrichParam(int band, int kind, int value);
    int GetStartEnrich() const;
    void SetStartEnrich(int value);
    double GetPetrolEnrichTime(int band) const;
    void SetPetrolEnrichTime(int band, double seconds);
    int GetDiagParam(int index, int kind);
    void SetDiagParam(int index, int kind, int value);
    int GetTempParam(int index, int kind) const;
    void SetTempParam(int index, int kind, double value);

    // Scalars by identifier (the editor's data codes).
    double GetParam(int32_t id);
    int SetParam(int32_t id, double value);

    // Flags and special operations.
    bool GetStatusFlag(int flag) const;
    bool SetStatusFlag(int flag, bool on);
    std::string GetConfigName();
    void SetConfigName(const std::string& name);
    bool IsAdaptEnabled() const { return (Adattativo & 2) != 0; }
    void SetAdaptEnabled(bool on);
    int GetChangeoverMode() const;
    void SetChangeoverMode(int mode);
    int GetEmulationType() const;
    void SetEmulationType(int type);
    int GetSensorTypeIndex();
    void SetSensorType(int index);
    int GetTpsWire() const;
    void SetTpsWire(int mode);
    void ClearTpsWire();
    int GetClimateEffect() const { return EffettoClima; }
    void SetClimateEffect(int delta);
    int GetProbeCount() const { return HasTwoProbes() ? 2 : 1; }
    void SetProbeCount(int n);
    bool HasTwoProbes() const;
    int ModelCode() const { return IdUnita[2] & 0x3F; }
    int SoftwareVersion() const { return IdUnita[3]; }
    bool IsUnitKind2() const { return ModelCode() == 2; }
    bool IsUnitKind3() const { return ModelCode() == 3; }
    bool IsLambdaBit0() const { return (TipoDiLambda & 1) != 0; }
    bool IsSensorInverted() const { return (TipoSensore & 0x80) != 0; }
    bool IsTpsInverted() const { return (TipoDiTps & 1) != 0; }
    bool IsLambdaCodeFree();
    bool IsPetrolMapSupported() const { return MappaBenzinaAmmessa; }
    bool HasPetrolMap() const { return MappaBenzinaPresente; }
    void CheckPetrolMap();
    int GetEnrichBandRpm(int band) const;
    int GetVehicleNumber(int kind) const;
    void SetVehicleNumber(int kind, int value);
    float GetPower() const { return Potenza; }
    void SetPower(float power) { Potenza = power; }
    std::string GetVehicleText(int kind) const;
    void SetVehicleText(int kind, const std::string& text);
    static double NtcRawToCelsius(int32_t raw);
    static int32_t CelsiusToNtcRaw(double celsius);
    bool ResetUnit();
    // Loads the parameters (scope 2) of a reset file, then writes everything.
    bool ResetUnit(const std::string& fileName);
    bool ResetAdaptation();

    // Configuration files. An empty name uses the bound FileName. Scope 0 whole
    // configuration, 1 gas map for calibration, 2 parameters only.
    bool SaveToFile(const std::string& fileName, int scope);
    bool LoadFromFile(const std::string& fileName, int scope);
    // The bytes of an encoded whole-configuration file of the record, carrying `storedName` as
    // its "NomeConfigurazione" ("<name>.vap": a load takes the name back without the extension).
    // The record, its bound file, its flags and its progress stay as they were.
    std::string EncodedConfiguration(std::string_view storedName);
    // Keys of the last load whose values lay outside their parameter's range and were
    // brought to its nearest end, in file order.
    const std::vector<std::string>& CorrectedKeys() const { return correctedKeys_; }
    bool ReadGasMapFromFile(const std::string& fileName, int32_t map[kMapRows][kMapCols], int32_t rpmRefs[kMapCols],
                            int32_t mapRefs[kMapRows]);
    // Header readers: each decodes the file into its own temporary copy.
    static bool ReadFileFlags(const std::string& fileName, bool* methane);
    static bool ReadFileProg(const std::string& fileName, std::string* progFile, bool* official);
    static bool WriteFileHeader(const std::string& fileName, const std::string* progFile, const bool* official);
    static bool ReadVehicleData(const std::string& fileName, VehicleData& data);

    // Learned points as tab-separated text files.
    bool ExportLearnedPoints(const std::string& path) const;
    bool LoadLearnedPoints(const std::string& path, bool merge);

    // Transfers with the unit. ReadAll is false unless the whole configuration came: when the
    // link was lost on the way or the unit refused a group, the record holds only part of
    // the unit's configuration (the rest keeps what it held). WriteAll answers how many
    // values the unit did not take; those are read back, so the record holds what the
    // unit holds. LastTransfer tells either one in full.
    bool ReadAll();
    int WriteAll();
    const TransferOutcome& LastTransfer() const { return lastTransfer_; }
    bool ReadIdentification();
    bool WaitUnitReady(uint32_t timeoutMs);
    bool ReloadAdaptTable(int param);
    int ReadCounter(int kind);

    // ---- The record (raw values) ----
    bool WriteThrough = false;
    int32_t MappaCarburazione[kMapRows][kMapCols]{};
    int32_t Adattativita[kMapRows][kMapCols]{};
    int32_t RifGiri[kMapCols]{};
    int32_t RifMAP[kMapRows]{};
    int32_t RifOpenLoop[kMapCols]{};
    int32_t PassiInv[kMapCols]{};
    int32_t PassiIngr[kMapCols]{};
    int32_t PassiSmag[kMapCols]{};
    int32_t TipoSensore = 0;
    bool SensoreResistivo = false;
    int32_t GiriCambioSalvati = 0;
    int32_t SovrapposizioneSalvata = 0;
    bool CambioSospeso = false;
    int32_t RifSensore[4]{};
    int32_t DecrCumulo[kBands]{};
    int32_t ArriccUscitaMin[kBands]{};
    int32_t Arricc2UscitaMin[kBands]{};
    int32_t ArrPerTps[kBands]{};
    int32_t VarCumulo[kBands]{};
    int32_t TempoArrBenzina[kBands]{};
    std::string NomeBreve;
    int32_t StatoConfigurazione[20]{};
    int32_t Stato[2]{};
    int32_t Abilitazione[2]{};
    int32_t TempRif[10]{};
    int32_t TempCoeff[9]{};
    int32_t EffettoClima = 0;
    int32_t MappaBenzina[kPetrolSize][kPetrolSize]{};
    int32_t RifGiriB[kPetrolSize]{};
    int32_t RifMAPB[kPetrolSize]{};
    uint8_t CelleApprese[kPetrolSize][kPetrolSize]{};
    int32_t Flag1 = 0;
    int32_t TipoDiLambda = 0;
    int32_t RifLambda = 0;
    int32_t RitardoLetturaSonda = 0;
    int32_t TempoSondaFredda = 0;
    int32_t RifSupSondaFredda = 0;
    int32_t RifInfSondaFredda = 0;
    int32_t RifSupSondaCalda = 0;
    int32_t RifInfSondaCalda = 0;
    int32_t TemperaturaCambio = 0;
    int32_t GiriPerCambio = 0;
    int32_t TempoSovrapposizione = 0;
    int32_t RitardoMinimoCambio = 0;
    int32_t FuoriGiri = 0;
    int32_t NumeroCilindri = 0;
    int32_t FasciaGiriMinimo = 0;
    int32_t GiriCutoff = 0;
    int32_t RitardoCutoff = 0;
    int32_t TipoDiTps = 0;
    int32_t Isteresi = 0;
    int32_t TempoAlto = 0;
    int32_t TempoBasso = 0;
    int32_t TempoSondaSconnessa = 0;
    int32_t NumeroOnde = 0;
    int32_t MaxErroreIntegrale = 0;
    int32_t MinErroreIntegrale = 0;
    int32_t MaxErroreIntegraleAlMinimo = 0;
    int32_t MinErroreIntegraleAlMinimo = 0;
    int32_t TpsSbana = 0;
    int32_t GiriSbana = 0;
    int32_t PassiSbana = 0;
    int32_t MinCumulo = 0;
    int32_t TpsArrBenzina = 0;
    int32_t TempoMinArrBenzina = 0;
    int32_t LimitazioneCorrettore = 0;
    int32_t TempoGas = 0;
    int32_t TempoBenzina = 0;
    int32_t Adattativo = 0;
    int32_t MotoreCutoff = 0;
    int32_t MotoreFineCutoff = 0;
    int32_t TempoPassiCutoff = 0;
    int32_t TempoRitBenzina = 0;
    int32_t TpsMoltoFuori = 0;
    int32_t RegistroDiagnosi = 0;
    int32_t NumeroReset = 0;
    int32_t TempoApSbana = 0;
    int32_t TempoChSbana = 0;
    int32_t LivelloAlto = 0;
    int32_t LivelloBasso = 0;
    int32_t CorrRientroMin = 0;
    int32_t GiriArrBenzina = 0;
    int32_t Cilindrata = 0;
    uint8_t IdUnita[4]{};
    std::string ProgFile;
    std::string DescrizAuto;
    std::string Euro;
    int32_t CentCubici = 0;
    int32_t Valvole = 0;
    int32_t NCilindri = 0;
    float Potenza = 0;
    std::string Motore;
    std::string Centralina;
    std::string Cambio;
    int32_t AnnoVettura = 0;
    bool MappaBenzinaAmmessa = false;
    bool MappaBenzinaPresente = false;
    int32_t ProssimoPunto = 0;
    std::vector<std::unique_ptr<PuntoAppreso>> PuntiAppresi;

    static constexpr size_t kProgFileMax = 101;
    static constexpr size_t kVehicleTextMax = 50;
    static constexpr size_t kEuroMax = 10;

private:
    // Link helpers: with no link object every write is taken, every read fails.
    bool Connected() const;
    bool LinkRead(int32_t id, int32_t* dest);
    bool LinkReadRow(int32_t id, int32_t* dest, int32_t row);
    bool LinkWriteValue(int32_t id, int32_t value);
    bool LinkWriteElement(int32_t id, int32_t index, int32_t value);
    bool LinkWriteCell(int32_t id, int32_t row, int32_t col, int32_t value);
    bool LinkWriteBlock(int32_t id, const int32_t* source);
    bool LinkWriteRow(int32_t id, const int32_t* source, int32_t row);

    // Common tail of a plain setter: Modified, write-through, store, official flag.
    template <class Send>
    void Commit(int32_t& field, int32_t raw, Send send);
    void CommitElement(int32_t& field, int32_t id, int32_t index, int32_t raw);
    void CommitScalar(int32_t& field, int32_t id, int32_t raw);
    void ClearOfficial();

    // Binds the record to a new file name; a name too long for the system is
    // refused (PathTooLong) and the bound name stays. An empty name keeps the bound one.
    bool BindFileName(const std::string& fileName);

    void Progress(int32_t amount, bool add);
    void Pause();

    // A group the unit refused while writing, to be read back once the writes are done.
    struct ReadBack {
        int32_t id;
        int32_t row; // -1 unless a table row
        int32_t* data;
        std::vector<int32_t> sent;
    };
    // The whole transfer in its fixed order: reading when `refused` is null, else writing.
    void Transfer(TransferOutcome& out, std::vector<ReadBack>* refused);

    // The keys of a configuration file of this scope into `ini`, in the fixed order. Without
    // `petrolMap` the record's petrol map presence is checked (and kept) first.
    void WriteConfiguration(IniFile& ini, std::string_view storedName, int scope, const bool* petrolMap,
                            bool withProgress);

    bool ComputeParamRaw(int32_t id, double value, int32_t current, int32_t& raw) const;

    void DefaultMaps();
    void DefaultColumns();
    void DefaultScalars();
    void DefaultEnrichment();

    // A value read from a file, held inside its parameter's range; the key is noted when it was not.
    void KeepLoadedInRange(int32_t param, std::string_view key, int32_t& value);

    SerialLink* link_;
    Clock& clock_;
    TransferOutcome lastTransfer_;
    std::vector<std::string> correctedKeys_;
    ProgressSink progress_;
    NameChangedSink nameChanged_;
};

} // namespace vapora
