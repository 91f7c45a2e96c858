#pragma once
// Acquisition files as the live strip writes them: a title line with the
// date and time, the 13-column header, then one tab-separated record per tick,
// every line break CR LF and none after the last line. Numbers never follow
// the user's locale: the graph and other programs read "." decimals.

#include "calib/LiveFrame.h"
#include "calib/Recording.h"

#include <filesystem>
#include <fstream>
#include <string>

namespace vapora {

// Opening 1 as the live strip shows and records it: above 360 the enrichment
// is taken off.
int ShownOpening(const EngineValues& engine);
// The record of one tick from the decoded blocks.
RecordLine MakeRecordLine(uint32_t timeMs, const EngineValues& engine, const StatusValues& status);

// Title and header, no line break after the header.
std::string AcquisitionHeader(const std::string& dateTime);
// CR LF, then the 13 fields of one tick.
std::string AcquisitionLine(const RecordLine& line);
// "%g" of the C locale: at most 6 significant digits, "." as decimal point.
std::string GeneralNumber(double value);

// The first "__acqtmp<n>.txt" from n = 0 that does not exist in the folder.
std::filesystem::path NextTemporaryAcquisition(const std::filesystem::path& folder);

// The open file of a running recording. A file that cannot be created leaves
// the recording running without writing.
class AcquisitionWriter {
public:
    bool Open(const std::filesystem::path& path, const std::string& dateTime);
    void Append(const RecordLine& line);
    void Close();
    bool IsOpen() const { return out_.is_open(); }

private:
    std::ofstream out_;
};

} // namespace vapora
