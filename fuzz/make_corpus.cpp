// Writes the seed corpora of the fuzz targets: vapora-fuzz-corpus TOP OUTDIR.
// The seeds are the shipped files (the main folder the installation writes and
// part of the dictionary of TOP/data), and inputs made with the program's own
// writers, laid out the way each target takes its input apart: FuzzedDataProvider
// takes bytes from the front of an input and numbers from its back.

#include "calib/Recording.h"
#include "model/ConfCar.h"
#include "model/FileCodec.h"
#include "model/SafeFile.h"
#include "services/i18n/DbfWriter.h"
#include "services/i18n/DictionarySource.h"
#include "tools/mkinstall/InstallData.h"
#include "wire/Crc.h"
#include "wire/Frame.h"
#include "wire/Protocol.h"

#include <QString>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace vapora;
using namespace sernox::wire;

namespace {

fs::path g_out;

void Seed(const std::string& target, const std::string& name, const std::string& bytes)
{
    fs::create_directories(g_out / target);
    std::ofstream(g_out / target / name, std::ios::binary) << bytes;
}

std::string Read(const fs::path& path)
{
    std::string bytes;
    if (!ReadFileBytes(path, bytes))
        throw std::runtime_error("cannot read " + path.string());
    return bytes;
}

// An input built from both ends: Front bytes in order, Back numbers in the order they are taken.
class Input {
public:
    Input& Front(const std::string& bytes) { front_ += bytes; return *this; }
    Input& Front(const std::vector<uint8_t>& bytes) { front_.append(bytes.begin(), bytes.end()); return *this; }
    Input& Back(uint8_t byte) { back_.push_back(static_cast<char>(byte)); return *this; }
    Input& Back64(uint64_t value)
    {
        // A 64-bit number is taken byte by byte from the end, first byte the most significant.
        for (int i = 7; i >= 0; --i)
            Back(static_cast<uint8_t>(value >> (8 * i)));
        return *this;
    }
    std::string Bytes() const { return front_ + std::string(back_.rbegin(), back_.rend()); }

private:
    std::string front_;
    std::string back_;
};

std::vector<uint8_t> I32(int32_t v) { return Writer().U32(static_cast<uint32_t>(v)).Take(); }

void Configurations(const fs::path& home)
{
    const fs::path files[] = {home / "Configurazioni" / "Berlina1600.vap", home / "Configurazioni" / "Metano" / "Monovolume1400.vap",
                              home / "Calibrazione" / "ResetLpg.vap", home / "Calibrazione" / "Cal#1400a.vap"};
    int n = 0;
    for (const fs::path& file : files) {
        const std::string plain = CryptBytes(Read(file), true, true, "");
        // The last byte picks the scope (0 to 2) or the header readers (3); bit 2 has the text encoded.
        for (uint8_t mode = 0; mode < 4; ++mode)
            Seed("config", "shipped-" + std::to_string(n) + "-" + std::to_string(mode), plain + char(0x04 | mode));
        if (n == 0) {
            Seed("codec", "shipped-plain", Input().Back(1).Front(plain.substr(0, 2048)).Bytes());
            Seed("codec", "shipped-encoded", Input().Back(1).Front(Read(file).substr(0, 2048)).Bytes());
            Seed("ini", "shipped", plain.substr(0, 4096));
        }
        ++n;
    }
    Seed("codec", "own-key", Input().Back(0).Front(std::string("\x05KEY01[Generale]\r\nA=1\r\n")).Bytes());
    Seed("ini", "quotes", "; comment\r\n[Generale]\r\nA = ' x '\r\nB=\"\"\r\n[generale]\r\nA=2\r\n\r\n[Other]\r\nC");
}

void LearnedPoints()
{
    ConfCar car("", nullptr);
    for (int i = 0; i < 12; ++i)
        car.AddLearnedPoint(900 + 250 * i, 0.35 + 0.05 * i, 2.5 + 0.125 * i, i % 12, (3 * i) % 12, 0);
    car.AddLearnedPoint(-5, -0.001, -1, 0, 0, 0);
    const fs::path file = g_out / "learned.tmp";
    car.ExportLearnedPoints(file.string());
    Seed("learned_points", "exported", Read(file));
    fs::remove(file);
    Seed("learned_points", "unterminated", "n.\tGiri\tMap\tnGiri\tnMap\tIniezione\r\n1\t1000\t350\t1\t2\t2500");
}

void Recordings()
{
    std::string text;
    AppendRecordingHeader(text, "10/12/2026 01:00:00");
    for (int i = 0; i < 60; ++i) {
        RecordLine line;
        line.timeMs = 150u * i;
        line.giri = 800 + (i * 137) % 4000;
        line.mapVolts = 0.5 + (i % 9) * 0.3;
        line.cumulo = i % 7;
        line.tps = (i % 5) * 0.8;
        line.lambda = i % 2 ? 0.8 : 0.1;
        line.apertura = 300 + i;
        line.arricchimento = i % 3;
        line.correttore = (i % 11) - 5;
        line.flag1 = i & 3;
        line.flag2 = 1;
        line.pressione = 120 + i % 4;
        line.temperaturaRaw = i % 17 == 0 ? 0 : 90 + i;
        AppendRecordLine(text, line);
    }
    // Taken from the back: the pixel columns, then the span as two fractions of the time range.
    Seed("recording", "whole", Input().Front(text).Back(40).Back64(0).Back64(~uint64_t{0}).Bytes());
    // Lines without a reading, as a damaged file may have them, on one pixel column.
    std::string odd = text;
    const size_t field = odd.find('\t', odd.find('\t', odd.rfind("\r\n0\t")) + 1);
    odd.replace(field + 1, 3, "nan");
    Seed("recording", "no-reading", Input().Front(odd + "\r\n9000\t1\t-inf\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0")
                                       .Back(0).Back64(0).Back64(~uint64_t{0}).Bytes());
    Seed("recording", "zoomed", Input().Front(text).Back(7).Back64(uint64_t{1} << 62).Back64(uint64_t{1} << 63).Bytes());
}

// Requests the program sends, as the unit server target takes them.
std::vector<std::pair<uint8_t, std::vector<uint8_t>>> Requests()
{
    constexpr int32_t kMapBlock = 14 | 0x100 | 0x200 | (20 << 12);
    return {
        {0, Writer().U32(0x56415052).Take()},  // Hello
        {1, {}},                               // Identify
        {2, {}},                               // StatusFlags
        {3, I32(2)},                           // ReadValue: ready
        {3, I32(0x200 | 16)},                  // ReadValue: a word
        {4, I32(12 | 0x100 | 0x200 | (20 << 12))}, // ReadBlock: rpm breakpoints
        {5, Writer().U32(kMapBlock).U8(3).Take()}, // ReadRow of the gas map
        {6, Writer().U32(5).U32(120).Take()},  // WriteValue
        {7, Writer().U32(42).U8(3).U32(100).Take()}, // WriteElement
        {8, Writer().U32(14 | 0x200).U8(2).U8(5).U32(700).Take()}, // WriteCell
        {10, Writer().U32(kMapBlock).U8(1).U16(500).U16(510).Take()}, // WriteRow (short)
        {11, {0}},                             // ReadLive
        {11, {1}},
    };
}

void Wire(const std::string& firmware)
{
    Input server;
    std::vector<uint8_t> line;
    uint8_t seq = 1;
    for (const auto& [command, payload] : Requests()) {
        // Action byte 8..127: a request with the next sequence number; then the command's index and the payload's length.
        server.Back(64).Back(command).Back(static_cast<uint8_t>(payload.size())).Front(payload);
        const std::vector<uint8_t> frame = EncodeFrame(seq++, static_cast<uint8_t>(0x10 + command), payload);
        line.insert(line.end(), frame.begin(), frame.end());
    }
    Seed("unit_server", "requests", server.Bytes());
    // Action byte 0..7: a whole firmware transfer of the text that follows (ended as a random-length string ends).
    Seed("unit_server", "firmware", Input().Back(0).Front(firmware + "\\0").Bytes());

    // The line cut in pieces of 7 bytes, then a marker frame.
    Input decoder;
    decoder.Back(1).Front(line);
    for (size_t at = 0; at < line.size(); at += 7)
        decoder.Back(0).Back(6); // a piece size takes two bytes
    Seed("frame_decoder", "requests", decoder.Bytes());
    std::vector<uint8_t> damaged = line;
    for (size_t i = 3; i < damaged.size(); i += 11)
        damaged[i] ^= 0x5A;
    Input broken;
    broken.Back(1).Front(damaged);
    for (size_t at = 0; at < damaged.size(); at += 64)
        broken.Back(0).Back(63);
    Seed("frame_decoder", "damaged", broken.Bytes());
}

void Dictionary(const fs::path& top)
{
    DictionarySource source;
    QString error;
    if (!ReadDictionarySource(QString::fromStdString((top / "data" / "dictionary.txt").string()), &source, &error))
        throw std::runtime_error(error.toStdString());
    const QList<QStringList> rows = source.rows.mid(0, 24);
    const fs::path table = g_out / "dictionary.tmp.dbf";
    if (!WriteDictionary(QString::fromStdString(table.string()), source.columns, rows, &error, 40))
        throw std::runtime_error(error.toStdString());
    Seed("dictionary", "shipped-part", Read(table));
    fs::remove(table);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: vapora-fuzz-corpus TOP OUTDIR\n";
        return 1;
    }
    try {
        const fs::path top = argv[1];
        g_out = argv[2];
        fs::create_directories(g_out);
        const fs::path home = g_out / "main-folder.tmp";
        std::string error;
        if (!install::WriteInstallation(home, error))
            throw std::runtime_error(error);
        Configurations(home);
        LearnedPoints();
        Recordings();
        const std::string firmware = install::SampleFirmware("Vapora15", 600);
        Seed("srecord", "sample", firmware);
        Seed("srecord", "shipped", Read(home / "Programmazione" / "Vapora15.s19"));
        Wire(firmware);
        Dictionary(top);
        fs::remove_all(home);
    } catch (const std::exception& e) {
        std::cerr << "vapora-fuzz-corpus: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
