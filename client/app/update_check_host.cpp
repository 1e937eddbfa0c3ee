#include "client/app/update_check_host.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QWidget>

#include <cstdlib>
#include <mutex>
#include <thread>

#include "platform/folders.h"

namespace tarnel {

// The reporter the check's thread talks to. It outlives the host when the window closes first,
// and forwards nothing after that.
class UpdateCheckHost::Relay : public UpdateCheckReporter {
  public:
    explicit Relay(UpdateCheckHost* host) : host_(host) {}

    void Detach() {
        const std::lock_guard lock(mutex_);
        host_ = nullptr;
    }
    void ShowMessage(const std::string& text) override { Post(text); }
    void NewVersionAvailable() override { Post(std::nullopt); }

  private:
    void Post(Report report) {
        const std::lock_guard lock(mutex_);
        // Events still queued for a host that is then deleted are dropped with it.
        if (host_ != nullptr) {
            QMetaObject::invokeMethod(
                host_, [host = host_, report] { host->Receive(report); }, Qt::QueuedConnection);
        }
    }

    std::mutex mutex_;
    UpdateCheckHost* host_;
};

UpdateCheckHost::UpdateCheckHost(QWidget* window, UpdateCheckHostOptions options)
    : QObject(window), window_(window), options_(std::move(options)) {
    if (options_.folders.programFolder.empty())
        options_.folders.programFolder = ProgramFolder();
    if (options_.folders.cacheFolder.empty())
        options_.folders.cacheFolder = UserCacheFolder();
    if (!options_.exitProgram)
        options_.exitProgram = [](int exitCode) { std::_Exit(exitCode); };
}

UpdateCheckHost::~UpdateCheckHost() {
    if (relay_ != nullptr)
        relay_->Detach();
}

void UpdateCheckHost::Start() {
    if (relay_ != nullptr)
        return;
    relay_ = std::make_shared<Relay>(this);
    std::thread([relay = relay_, folders = options_.folders, limit = options_.limit] {
        try {
            UpdateCheckThread(folders, *relay, limit);
        } catch (...) {
            // A check that could not run is no reason to stop the program.
        }
    }).detach();
}

void UpdateCheckHost::Receive(Report report) {
    pending_.push_back(std::move(report));
    PresentNext();
}

void UpdateCheckHost::PresentNext() {
    if (presenting_ || pending_.empty())
        return;
    Report report = std::move(pending_.front());
    pending_.pop_front();
    if (!report) {
        PresentNewVersion();
        return;
    }
    const QString caption =
        IsSocketMessage(*report) ? QStringLiteral("错误") : QCoreApplication::applicationName();
    // Not modal: the check's boxes never stop the window from being used.
    auto* box = new QMessageBox(QMessageBox::NoIcon, caption, QString::fromStdString(*report),
                                QMessageBox::Ok, window_);
    box->setObjectName(QStringLiteral("updateCheckMessage"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    presenting_ = true;
    connect(box, &QMessageBox::finished, this, [this] {
        presenting_ = false;
        PresentNext();
    });
    box->show();
}

void UpdateCheckHost::PresentNewVersion() {
    if (StartUpdater(options_.folders.programFolder)) {
        options_.exitProgram(0);
        return;
    }
    Receive(std::string("程序目录下缺少升级程序Updater.exe！，请重新下载完整版本！"));
}

}  // namespace tarnel
