#include "calib/AcquisitionFile.h"

#include <charconv>
#include <cmath>

namespace vapora {

std::string GeneralNumber(double value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 6);
    return std::string(buffer, result.ptr);
}

int ShownOpening(const EngineValues& engine)
{
    return engine.apertura > 360 ? engine.apertura - engine.arricchimento : engine.apertura;
}

RecordLine MakeRecordLine(uint32_t timeMs, const EngineValues& e, const StatusValues& s)
{
    RecordLine line;
    line.timeMs = timeMs;
    line.giri = e.giri;
    line.mapVolts = e.mapVolts;
    line.cumulo = e.variazioneTps;
    line.tps = e.tps;
    line.lambda = e.lambda;
    line.apertura = ShownOpening(e);
    line.arricchimento = e.arricchimento;
    line.correttore = e.correttore;
    line.flag1 = e.flags;
    line.flag2 = s.flags;
    line.pressione = e.pressione;
    line.temperaturaRaw = s.temperaturaRaw;
    return line;
}

std::string AcquisitionHeader(const std::string& dateTime)
{
    return "Acquisizione VAPORA, " + dateTime +
           "\r\nTEMPO\tGIRI\tMAP\tCUMULO\tTPS\tLAMBDA\tAPERT.\tARRIC.\tCORRET.\tFLAG1\tFLAG2\tPRESS.\tTEMP.";
}

std::string AcquisitionLine(const RecordLine& l)
{
    auto hundredths = [](double v) { return GeneralNumber(std::trunc(v * 100) * 0.01); };
    const char tab = '\t';
    std::string out = "\r\n";
    out += std::to_string(l.timeMs) + tab + std::to_string(l.giri) + tab + hundredths(l.mapVolts) + tab +
           std::to_string(l.cumulo) + tab + hundredths(l.tps) + tab + hundredths(l.lambda) + tab +
           std::to_string(l.apertura) + tab + std::to_string(l.arricchimento) + tab + std::to_string(l.correttore) +
           tab + std::to_string(l.flag1) + tab + std::to_string(l.flag2) + tab +
           GeneralNumber(l.pressione * 0.01) + tab + std::to_string(l.temperaturaRaw);
    return out;
}

std::filesystem::path NextTemporaryAcquisition(const std::filesystem::path& folder)
{
    for (int n = 0;; ++n) {
        std::filesystem::path candidate = folder / ("__acqtmp" + std::to_string(n) + ".txt");
        std::error_code ec;
        if (!std::filesystem::exists(candidate, ec))
            return candidate;
    }
}

bool AcquisitionWriter::Open(const std::filesystem::path& path, const std::string& dateTime)
{
    out_.open(path, std::ios::binary | std::ios::trunc);
    if (!out_.is_open())
        return false;
    out_ << AcquisitionHeader(dateTime);
    out_.flush();
    return true;
}

void AcquisitionWriter::Append(const RecordLine& line)
{
    if (!out_.is_open())
        return;
    out_ << AcquisitionLine(line);
    out_.flush(); // a crash keeps what was recorded
}

void AcquisitionWriter::Close()
{
    if (out_.is_open())
        out_.close();
}

} // namespace vapora
