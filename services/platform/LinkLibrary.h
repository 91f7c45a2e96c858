#pragma once
// The link library loaded at start: its two exports and the one link object.

#include "link/SerialLink.h"

#include <QLibrary>
#include <QString>

namespace vapora {

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
