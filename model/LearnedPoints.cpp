// Learned petrol-map points as tab-separated text files. The files are shared with
// installations that write them in Windows text mode, so lines end in CR LF on every
// platform and reading follows the line-at-a-time rules those installations read them with.

#include "model/ConfCar.h"
#include "model/PlatformFiles.h"

#include "model/SafeFile.h"

#include <cstdint>
#include <limits>

namespace vapora {

namespace {

constexpr std::string_view kColumnNames = "n.\tGiri\tMap\tnGiri\tnMap\tIniezione";
// A line is read in pieces of at most this many characters, line feed included.
constexpr std::size_t kLineRoom = 99;

// Reads lines as a text-mode stream gives them: CR LF comes as a line feed, a line ends after
// its line feed or after kLineRoom characters, and AtEnd() turns true once a read runs into
// the end of the text (so a last line without line end reports the end with it).
class LineReader {
public:
    explicit LineReader(std::string_view bytes)
    {
        text_.reserve(bytes.size());
        for (std::size_t i = 0; i < bytes.size(); ++i)
            if (!(bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n'))
                text_ += bytes[i];
    }

    // False, with `line` empty, when nothing was left to read.
    bool Next(std::string& line)
    {
        line.clear();
        while (line.size() < kLineRoom) {
            if (pos_ >= text_.size()) {
                atEnd_ = true;
                break;
            }
            const char c = text_[pos_++];
            line += c;
            if (c == '\n')
                break;
        }
        return !line.empty();
    }

    bool AtEnd() const { return atEnd_; }

private:
    std::string text_;
    std::size_t pos_ = 0;
    bool atEnd_ = false;
};

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

// Six decimal integers separated by blanks; whatever follows the sixth is ignored. A number
// beyond the 32-bit range makes the line bad.
bool ParsePointLine(std::string_view line, int32_t (&values)[6])
{
    std::size_t i = 0;
    for (int32_t& value : values) {
        while (i < line.size() && IsSpace(line[i]))
            ++i;
        bool negative = false;
        if (i < line.size() && (line[i] == '-' || line[i] == '+'))
            negative = line[i++] == '-';
        const std::size_t digitsStart = i;
        int64_t magnitude = 0;
        for (; i < line.size() && line[i] >= '0' && line[i] <= '9'; ++i) {
            magnitude = magnitude * 10 + (line[i] - '0');
            if (magnitude > int64_t{std::numeric_limits<int32_t>::max()} + 1)
                return false;
        }
        if (i == digitsStart)
            return false;
        const int64_t signedValue = negative ? -magnitude : magnitude;
        if (signedValue > std::numeric_limits<int32_t>::max())
            return false;
        value = static_cast<int32_t>(signedValue);
    }
    return true;
}

} // namespace

bool ConfCar::ExportLearnedPoints(const std::string& path) const
{
    if (PuntiAppresi.empty())
        return false;
    std::string text(kColumnNames);
    text += "\r\n";
    for (const auto& point : PuntiAppresi) {
        for (int32_t value : {point->n, point->Giri, point->Map, point->nGiri, point->nMap}) {
            text += std::to_string(value);
            text += '\t';
        }
        text += std::to_string(point->Iniezione);
        text += "\r\n";
    }
    return WriteFileReplacing(LocalPath(path), text);
}

bool ConfCar::LoadLearnedPoints(const std::string& path, bool merge)
{
    std::string bytes;
    if (!ReadFileBytes(LocalPath(path), bytes))
        return false;
    if (!merge)
        ClearLearnedPoints();

    LineReader reader(bytes);
    std::string line;
    reader.Next(line); // the column names
    reader.Next(line);
    int32_t v[6];
    while (ParsePointLine(line, v)) {
        // Map and injection are stored in thousandths, as AddLearnedPoint stores them; the
        // point takes a new number.
        AddLearnedPoint(v[1], v[2] / 1000.0, v[5] / 1000.0, v[3], v[4], 0);
        reader.Next(line);
        if (reader.AtEnd())
            return true;
    }
    return false;
}

} // namespace vapora
