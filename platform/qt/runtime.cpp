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
#include <QTimer>
#include <QWidget>

#include <cstdio>

namespace platform {

struct RuntimeImpl {
    QApplication* application = nullptr;
    // 1 while a handler runs inside the innermost error boundary, else 0.
    int depth = 0;
    // How many Qt events are being dispatched, one inside another.
    int dispatchDepth = 0;
    // The dispatch depth at which the innermost error boundary was entered.
    int boundaryDispatchDepth = 0;
    bool ended = false;
    bool inLoop = false;
    int exitStatus = 0;
    int loadedForms = 0;
};

namespace {

Runtime* currentRuntime = nullptr;

// Counts the events Qt is dispatching, so that the runtime can tell a handler
// raised by code of the running handler (a value set by code) from one that
// Qt raises out of an event of its own while that handler waits or calls
// into it (a timer tick inside a message box, a click in a modal form).
class RuntimeApplication : public QApplication {
public:
    RuntimeApplication(int& argc, char** argv, RuntimeImpl& runtime)
        : QApplication(argc, argv)
        , runtime_(runtime)
    {
    }

    bool notify(QObject* receiver, QEvent* event) override
    {
        struct Dispatch {
            int& depth;
            explicit Dispatch(int& d) : depth(d) { ++depth; }
            ~Dispatch() { --depth; }
        } dispatch(runtime_.dispatchDepth);
        return QApplication::notify(receiver, event);
    }

private:
    RuntimeImpl& runtime_;
};

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
    Runtime::current().runNested([&] { box.exec(); });
}

} // namespace

void End()
{
    throw EndProgram();
}

Runtime::Runtime(int& argc, char** argv)
    : impl_(std::make_unique<RuntimeImpl>())
{
    impl_->application = new RuntimeApplication(argc, argv, *impl_);
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
    // A handler raised by code of the running handler (a value set by code)
    // runs inside that handler's boundary: an error ends the whole chain
    // there, and no code after it runs. A handler that Qt raises out of an
    // event of its own gets a boundary of its own, even while another
    // handler waits for a nested loop: an exception must never unwind
    // through Qt.
    if (impl_->depth > 0 && impl_->dispatchDepth == impl_->boundaryDispatchDepth) {
        handler();
        return;
    }
    struct Boundary {
        RuntimeImpl& impl;
        int savedDepth;
        int savedDispatchDepth;
        explicit Boundary(RuntimeImpl& runtime)
            : impl(runtime)
            , savedDepth(runtime.depth)
            , savedDispatchDepth(runtime.boundaryDispatchDepth)
        {
            impl.depth = 1;
            impl.boundaryDispatchDepth = impl.dispatchDepth;
        }
        ~Boundary()
        {
            impl.depth = savedDepth;
            impl.boundaryDispatchDepth = savedDispatchDepth;
        }
    } boundary(*impl_);

    try {
        handler();
    } catch (const EndProgram&) {
        endProgram(0, nullptr);
    } catch (const std::exception& error) {
        std::string report = describeException(error);
        endProgram(1, &report);
    } catch (...) {
        std::string report = "Run-time error: an unknown error";
        endProgram(1, &report);
    }
}

void Runtime::endProgram(int status, const std::string* report)
{
    if (impl_->ended)
        return;
    impl_->ended = true;
    impl_->exitStatus = status;
    // Give back what the program took from the user before saying anything:
    // the cursor and the input methods.
    restoreCursor();
    restoreAllInputContexts();
    for (QWidget* window : QApplication::topLevelWidgets())
        window->hide();
    if (report)
        MsgBox(*report, MessageBoxIcon::Critical, App.title());
    // Every event loop ends, the nested ones of message boxes and modal forms
    // included; the code that started them sees that the program has ended.
    QApplication::exit(status);
}

void Runtime::runNested(const std::function<void()>& loop)
{
    const bool endedBefore = impl_->ended;
    int savedDepth = impl_->depth;
    int savedDispatchDepth = impl_->boundaryDispatchDepth;
    impl_->depth = 0;
    loop();
    impl_->depth = savedDepth;
    impl_->boundaryDispatchDepth = savedDispatchDepth;
    // A run-time error in an event handled while the loop ran has ended the
    // program and the loop; the code that waited must not go on.
    if (!endedBefore && impl_->ended)
        throw EndProgram();
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
    if (impl_->ended) {
        // The end told every event loop to stop, those still to come
        // included; a run of the main loop that ends at once clears that.
        QTimer::singleShot(0, impl_->application, [] { QApplication::exit(0); });
        QApplication::exec();
    }
    impl_->ended = false;
    impl_->exitStatus = 0;
    impl_->loadedForms = 0;
    impl_->depth = 0;
    impl_->boundaryDispatchDepth = 0;
}

} // namespace platform
