// Time of `vapora-tool show` on a large configuration file: a whole configuration whose
// "Generale" section starts with 200 000 comment lines (about 1.9 MB). Prints the file size
// and the best of a few runs.

#include "ToolCommands.h"

#include "model/ConfCar.h"
#include "model/FileCodec.h"
#include "model/SafeFile.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <sstream>
#include <string>

namespace fs = std::filesystem;
using namespace vapora;

int main(int argc, char** argv)
{
    const int commentLines = argc > 1 ? std::atoi(argv[1]) : 200000;
    const fs::path dir = fs::temp_directory_path() / ("vapora-show-bench-" + std::to_string(std::random_device{}()));
    fs::create_directories(dir);
    const fs::path whole = dir / "whole.vap";
    ConfCar car("default.mur", nullptr);
    car.SetDefaults(false);
    if (!car.SaveToFile(whole.string(), 0)) {
        std::fprintf(stderr, "cannot write %s\n", whole.c_str());
        return 1;
    }
    std::string plain;
    ReadFileBytes(whole, plain);
    plain = CryptBytes(plain, true, true, {});
    // Right after the first section's header: every key of that section and every later
    // section lies past them.
    const std::string header = "[Generale]\r\n";
    const std::size_t at = plain.find(header) + header.size();
    std::string comments;
    comments.reserve(static_cast<std::size_t>(commentLines) * 10);
    for (int i = 0; i < commentLines; ++i)
        comments += i % 2 ? ";comment\r\n" : ";remark\r\n";
    plain.insert(at, comments);
    const fs::path big = dir / "big.vap";
    WriteFileReplacing(big, CryptBytes(plain, false, true, {}));

    double best = 1e9;
    for (int run = 0; run < 3; ++run) {
        std::ostringstream out, err;
        const auto start = std::chrono::steady_clock::now();
        const int status = tool::Run({"show", big.string()}, out, err);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (status != 0) {
            std::fprintf(stderr, "show failed: %s", err.str().c_str());
            return 1;
        }
        best = std::min(best, seconds);
    }
    std::printf("show of a %.2f MB file with %d comment lines: best of 3 runs %.3f s\n",
                static_cast<double>(fs::file_size(big)) / 1e6, commentLines, best);
    fs::remove_all(dir);
    return 0;
}
