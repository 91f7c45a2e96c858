#include "app/Program.h"

#include "editor/TFormConfig.h"
#include "TFormMain.h"
#include "TFormScarica.h"
#include "services/i18n/TDataModuleMur.h"
#include "model/ConfCar.h"
#include "services/platform/Platform.h"
#include "services/platform/ScratchCleanup.h"
#include "services/platform/SingleInstance.h"
#include "services/settings/GlobalData.h"
#include "services/ui/DialogService.h"
#include "services/i18n/WindowTexts.h"
#include "services/platform/FilePaths.h"
#include "model/MainFolder.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

namespace vapora {

Program::Program(DialogService& dialogs, Clock& clock, ProgramOptions options)
    : dialogs_(dialogs), clock_(clock), options_(std::move(options))
{
    ctx_.dialogs = &dialogs_;
    ctx_.clock = &clock_;
}

Program::~Program() { TearDown(); }

Program::Outcome Program::Start()
{
    instance_ = std::make_unique<SingleInstance>(options_.instanceName);
    if (!instance_->Claim()) {
        const QString request = instance_->LeaveRequest(options_.files);
        // Files must reach the running copy, or the user is told; a plain raise asks nothing.
        if (!options_.files.isEmpty() && !instance_->WaitTaken(request, clock_, SingleInstance::kForwardTimeoutMs)) {
            const QString folder = IsMainFolder(FsPath(QDir::currentPath())) ? QDir::currentPath()
                                                                             : QtPath(UserMainFolder());
            dialogs_.Message(nullptr, ctx_.applicationTitle,
                             EarlyText(folder, "MessFileNonPassato",
                                       QString::fromUtf8("Il programma è già aperto ma non ha potuto ricevere il "
                                                         "file:\n%1\nAprirlo dal menu File > Apri del programma."))
                                 .arg(options_.files.join(QLatin1Char('\n'))),
                             MsgIcon::Error);
        }
        return Outcome::SecondCopy;
    }

    if (!PlatformSupported()) {
        dialogs_.Message(nullptr, UnsupportedPlatformTitle(), UnsupportedPlatformText(), MsgIcon::Error);
        return Outcome::Unsupported;
    }

    QCoreApplication::setApplicationName(ctx_.applicationTitle);
    if (!PrepareMainFolder())
        return Outcome::NoMainFolder;
    // What a killed run left behind; files of live runs and of the tool stay.
    RemoveStaleScratch(QDir::currentPath());

    const QString path = options_.libraryPath.isEmpty() ? LinkLibraryPath(QCoreApplication::applicationDirPath())
                                                        : options_.libraryPath;
    ctx_.libraryFolder = QFileInfo(path).absolutePath();
    if (!library_.Load(path)) {
        dialogs_.Message(nullptr, ctx_.applicationTitle, library_.ErrorText(), MsgIcon::Error);
        return Outcome::NoLibrary;
    }
    SerialLink* link = library_.CreateLink();
    if (link == nullptr) {
        // Nothing works without the link object; say why, like a missing library.
        dialogs_.Message(nullptr, ctx_.applicationTitle, library_.ErrorText(), MsgIcon::Error);
        return Outcome::NoLinkObject;
    }
    link->Init(0);
    link->Configure(5);
    link->AttachScreen(&screen_);
    ctx_.link = link;

    car_ = std::make_unique<ConfCar>(options_.recordFile.toStdString(), link, clock_);
    car_->SetNameChangedSink([] { PostStateToAll(kStateNameChanged); });
    car_->SetProgressSink([](int32_t amount, bool add) { SendProgress(amount, add); });
    ctx_.car = car_.get();
    settings_ = std::make_unique<GlobalData>(options_.settingsKey, dialogs_, QDir::currentPath());
    ctx_.settings = settings_.get();

    main_ = std::make_unique<TFormMain>(ctx_);
    screen_.SetMainWindow(main_.get());
    QObject::connect(instance_.get(), &SingleInstance::RaiseRequested, main_.get(),
                     [w = main_.get()] { RaiseWindow(w); });
    QObject::connect(instance_.get(), &SingleInstance::FilesRequested, main_.get(), &TFormMain::OpenFiles);
    main_->OpenFiles(options_.files); // once the start is over
    dataModule_ = std::make_unique<TDataModuleMur>(dialogs_);
    ctx_.dictionary = dataModule_.get();
    scarica_ = std::make_unique<TFormScarica>(ctx_);
    config_ = std::make_unique<TFormConfig>(ctx_);
    main_->SetScaricaForm(scarica_.get());
    main_->SetConfigForm(config_.get());
    return Outcome::Started;
}

bool Program::PrepareMainFolder()
{
    const std::filesystem::path templateFolder =
        options_.templateFolder.isEmpty() ? InstalledTemplate(FsPath(QCoreApplication::applicationDirPath()))
                                          : FsPath(options_.templateFolder);
    const std::filesystem::path userFolder =
        options_.userFolder.isEmpty() ? UserMainFolder() : FsPath(options_.userFolder);
    const MainFolderChoice choice = ChooseMainFolder(FsPath(QDir::currentPath()), templateFolder, userFolder);
    if (choice.templateFolder.empty())
        return true; // a build tree or a main folder: as it always was

    const TemplateRefresh refresh = RefreshFromTemplate(choice.templateFolder, choice.folder);
    const QString folder = QtPath(choice.folder);
    const bool usable = IsMainFolder(choice.folder) && QDir::setCurrent(folder);
    if (refresh.Ok() && usable)
        return true;
    QStringList failures;
    for (const std::string& line : refresh.failures)
        failures << QString::fromStdString(line);
    if (failures.size() > 5) // the first few name the cause
        failures = failures.mid(0, 5) << QStringLiteral("...");
    const QString text = EarlyText(usable ? folder : QtPath(choice.templateFolder), "MessCartellaDati",
                                   QStringLiteral("Impossibile preparare la cartella dei dati %1:\n%2"))
                             .arg(QDir::toNativeSeparators(folder), failures.join(QLatin1Char('\n')));
    dialogs_.Message(nullptr, ctx_.applicationTitle, text, usable ? MsgIcon::Warning : MsgIcon::Error);
    return usable;
}

QString Program::EarlyText(const QString& folder, const char* key, const QString& fallback)
{
    if (folder.isEmpty() || !IsMainFolder(FsPath(folder)))
        return fallback;
    TDataModuleMur dictionary(dialogs_);
    if (!dictionary.Open(folder, QString::fromLatin1(kMainFolderMark)))
        return fallback;
    dictionary.SelectLanguage(GlobalData::StoredLanguage(options_.settingsKey));
    return WindowTexts(&dictionary).Get(key, fallback);
}

int Program::Exec()
{
    if (main_ == nullptr)
        return 0;
    main_->show();
    QApplication::exec();
    return 0; // every end of the program is a normal one
}

void Program::TearDown()
{
    screen_.SetMainWindow(nullptr);
    config_.reset();
    scarica_.reset();
    main_.reset();
    ctx_.dictionary = nullptr;
    dataModule_.reset();
    ctx_.car = nullptr;
    car_.reset();
    library_.DestroyLink();
    ctx_.link = nullptr;
    ctx_.settings = nullptr;
    settings_.reset();
    library_.Unload();
    instance_.reset();
}

} // namespace vapora
