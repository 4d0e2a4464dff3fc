#include "platform/runtime.h"

#include "platform/app.h"
#include "platform/cursor.h"
#include "platform/message_box.h"
#include "platform/qt/input_method_registry.h"
#include "platform/runtime_error.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFont>
#include <QIcon>
#include <QMessageBox>
#include <QWidget>

#include <cstdio>

namespace platform {

struct RuntimeImpl {
    QApplication* application = nullptr;
    int depth = 0;
    bool ended = false;
    bool inLoop = false;
    int exitStatus = 0;
    int loadedForms = 0;
};

namespace {

Runtime* currentRuntime = nullptr;

void installFontSubstitutes()
{
    // The program's forms name the fonts of Japanese Windows; the installed
    // Japanese Gothic faces stand in for them, so Japanese renders with the
    // same look.
    const QStringList gothic { "IPAGothic", "IPAexGothic", "Noto Sans CJK JP", "VL Gothic", "TakaoGothic" };
    const QStringList proportionalGothic { "IPAPGothic", "IPAexGothic", "IPAGothic", "Noto Sans CJK JP",
                                           "VL PGothic" };
    QFont::insertSubstitutions("MS UI Gothic", proportionalGothic);
    QFont::insertSubstitutions(QString::fromUtf8("ＭＳ Ｐゴシック"), proportionalGothic);
    QFont::insertSubstitutions(QString::fromUtf8("ＭＳ ゴシック"), gothic);
    QFont::insertSubstitutions("Times New Roman", { "Liberation Serif", "DejaVu Serif", "IPAPMincho" });
}

void showMessageBox(const MessageBoxRequest& request)
{
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (request.icon) {
    case MessageBoxIcon::Critical:
        icon = QMessageBox::Critical;
        break;
    case MessageBoxIcon::Exclamation:
        icon = QMessageBox::Warning;
        break;
    case MessageBoxIcon::Information:
        icon = QMessageBox::Information;
        break;
    case MessageBoxIcon::None:
        break;
    }
    QMessageBox box(icon, QString::fromStdString(request.title), QString::fromStdString(request.text),
                    QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

} // namespace

void End()
{
    throw EndProgram();
}

Runtime::Runtime(int& argc, char** argv)
    : impl_(std::make_unique<RuntimeImpl>())
{
    impl_->application = new QApplication(argc, argv);
    currentRuntime = this;
    installFontSubstitutes();
    QApplication::setFont(QFont("MS UI Gothic", 9));
    QIcon icon;
    icon.addFile(":/zandreth/zandreth-16.png", QSize(16, 16));
    icon.addFile(":/zandreth/zandreth-32.png", QSize(32, 32));
    QApplication::setWindowIcon(icon);
    QApplication::setQuitOnLastWindowClosed(false);
    setMessageBoxPresenter(showMessageBox);
}

Runtime::~Runtime()
{
    setMessageBoxPresenter({});
    restoreCursor();
    currentRuntime = nullptr;
    delete impl_->application;
}

Runtime& Runtime::current()
{
    if (!currentRuntime) {
        std::fputs("The forms runtime is used before it was created.\n", stderr);
        std::abort();
    }
    return *currentRuntime;
}

int Runtime::exec()
{
    if (impl_->ended || impl_->loadedForms == 0)
        return impl_->exitStatus;
    impl_->inLoop = true;
    QApplication::exec();
    impl_->inLoop = false;
    return impl_->exitStatus;
}

bool Runtime::ended() const { return impl_->ended; }
int Runtime::exitStatus() const { return impl_->exitStatus; }

void Runtime::deliver(const std::function<void()>& handler)
{
    if (impl_->ended)
        return;
    if (impl_->depth > 0) {
        handler();
        return;
    }
    struct Depth {
        int& depth;
        explicit Depth(int& d) : depth(d) { ++depth; }
        ~Depth() { --depth; }
    } depth(impl_->depth);

    auto end = [this](int status, const std::string* report) {
        if (impl_->ended)
            return;
        impl_->ended = true;
        impl_->exitStatus = status;
        // Give back what the program took from the user before saying
        // anything: the cursor and the input methods.
        restoreCursor();
        restoreAllInputContexts();
        for (QWidget* window : QApplication::topLevelWidgets())
            window->hide();
        if (report)
            MsgBox(*report, MessageBoxIcon::Critical, App.title());
        QApplication::exit(status);
    };

    try {
        handler();
    } catch (const EndProgram&) {
        end(0, nullptr);
    } catch (const std::exception& error) {
        std::string report = describeException(error);
        end(1, &report);
    }
}

void Runtime::runNested(const std::function<void()>& loop)
{
    int saved = impl_->depth;
    impl_->depth = 0;
    loop();
    impl_->depth = saved;
}

void Runtime::formLoaded() { ++impl_->loadedForms; }

void Runtime::formUnloaded()
{
    if (--impl_->loadedForms <= 0) {
        impl_->loadedForms = 0;
        QApplication::quit();
    }
}

int Runtime::loadedForms() const { return impl_->loadedForms; }

void Runtime::processEventsFor(int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeoutMs)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
}

void Runtime::processPendingEvents()
{
    QApplication::sendPostedEvents();
    QApplication::processEvents(QEventLoop::AllEvents);
}

void Runtime::resetForTesting()
{
    impl_->ended = false;
    impl_->exitStatus = 0;
    impl_->loadedForms = 0;
    impl_->depth = 0;
}

} // namespace platform
