#include "services/platform/LinkLibrary.h"

#include <QDir>
#include <QFileInfo>

namespace vapora {

QString LinkLibraryPath(const QString& programFolder)
{
    const QString beside = QDir(programFolder).filePath(QStringLiteral("SerNoxDL"));
    const QString installed =
        QDir::cleanPath(programFolder + QStringLiteral("/../" VAPORA_PRIVATE_LIBDIR "/SerNoxDL"));
    for (const QString& candidate : {beside, installed}) {
        const QFileInfo base(candidate);
        for (const QString& file : {QStringLiteral("lib%1.so").arg(base.fileName()), base.fileName() + QStringLiteral(".dll")})
            if (QFileInfo::exists(base.dir().filePath(file)))
                return candidate;
    }
    return beside;
}

LinkLibrary::~LinkLibrary()
{
    DestroyLink();
    Unload();
}

bool LinkLibrary::Load(const QString& path)
{
    library_.setFileName(path);
    if (!library_.load()) {
        error_ = library_.errorString();
        return false;
    }
    create_ = reinterpret_cast<CreateClassInstanceFn>(library_.resolve("_CreateClassInstance"));
    if (create_ == nullptr)
        error_ = library_.errorString();
    destroy_ = reinterpret_cast<DestroyClassInstanceFn>(library_.resolve("_DestroyClassInstance"));
    return true;
}

SerialLink* LinkLibrary::CreateLink()
{
    if (create_ == nullptr)
        return nullptr;
    link_ = create_();
    if (link_ == nullptr)
        error_ = QStringLiteral("_CreateClassInstance: no link object");
    return link_;
}

void LinkLibrary::DestroyLink()
{
    if (link_ != nullptr && destroy_ != nullptr)
        destroy_(link_);
    link_ = nullptr;
}

void LinkLibrary::Unload()
{
    if (library_.isLoaded())
        library_.unload();
    create_ = nullptr;
    destroy_ = nullptr;
}

} // namespace vapora
