#pragma once
// The link library loaded at start: its two exports and the one link object.

#include "link/SerialLink.h"

#include <QLibrary>
#include <QString>

namespace vapora {

// The library the program loads, without prefix or suffix: "<programFolder>/SerNoxDL"
// when it is beside the program (a build tree), else where the package installs it
// (<programFolder>/../lib/<multiarch>/vapora), else beside the program all the same (its error then
// names that place).
QString LinkLibraryPath(const QString& programFolder);

class LinkLibrary {
public:
    LinkLibrary() = default;
    ~LinkLibrary();
    LinkLibrary(const LinkLibrary&) = delete;
    LinkLibrary& operator=(const LinkLibrary&) = delete;

    // path without prefix or suffix ("<dir>/SerNoxDL"). False with the
    // system's error text in ErrorText().
    bool Load(const QString& path);
    // Creates the link object; null (and ErrorText()) when the library cannot
    // make one.
    SerialLink* CreateLink();
    // Hands the link object back; skipped when the library has no destroy export.
    void DestroyLink();
    void Unload();

    SerialLink* Link() const { return link_; }
    bool CanDestroy() const { return destroy_ != nullptr; }
    QString ErrorText() const { return error_; }

private:
    QLibrary library_;
    CreateClassInstanceFn create_ = nullptr;
    DestroyClassInstanceFn destroy_ = nullptr;
    SerialLink* link_ = nullptr;
    QString error_;
};

} // namespace vapora
