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

#include <QApplication>
#include <QDir>

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
    if (!instance_->Claim())
        return Outcome::SecondCopy;

    if (!PlatformSupported()) {
        dialogs_.Message(nullptr, UnsupportedPlatformTitle(), UnsupportedPlatformText(), MsgIcon::Error);
        return Outcome::Unsupported;
    }

    QCoreApplication::setApplicationName(ctx_.applicationTitle);
    // What a killed run left behind; files of live runs and of the tool stay.
    RemoveStaleScratch(QDir::currentPath());

    const QString path = options_.libraryPath.isEmpty()
                             ? QCoreApplication::applicationDirPath() + QStringLiteral("/SerNoxDL")
                             : options_.libraryPath;
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
    dataModule_ = std::make_unique<TDataModuleMur>(dialogs_);
    ctx_.dictionary = dataModule_.get();
    scarica_ = std::make_unique<TFormScarica>(ctx_);
    config_ = std::make_unique<TFormConfig>(ctx_);
    main_->SetScaricaForm(scarica_.get());
    main_->SetConfigForm(config_.get());
    return Outcome::Started;
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
