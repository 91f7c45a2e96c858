#pragma once
// Progress of a unit command on stderr: a bar that redraws itself on a terminal,
// a plain line every tenth otherwise, nothing with --quiet.

#include <ostream>
#include <string>

namespace vapora::tool {

class Progress {
public:
    Progress(std::ostream& err, bool terminal, bool quiet) : err_(err), terminal_(terminal), quiet_(quiet) {}

    void Start(const std::string& label);
    // amount in percent; add true adds it, false sets it (the record's and the link's convention).
    void Report(int amount, bool add);
    void Finish();
    // A line of its own, not cut by the bar.
    void Line(const std::string& text);

private:
    void Draw();

    std::ostream& err_;
    bool terminal_;
    bool quiet_;
    bool active_ = false;
    std::string label_;
    int percent_ = 0;
    int lastShown_ = -1;
};

} // namespace vapora::tool
