// The application on Qt: the event loops, the message box, the screen and
// the pointer.

#include "platform/backend.h"
#include "platform/font_substitutes.h"
#include "platform/message_box.h"

#include <QApplication>
#include <QCursor>
#include <QEventLoop>
#include <QFont>
#include <QIcon>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <QWidget>

namespace platform::backend {

namespace {

// Tells the runtime of every event Qt dispatches.
class RuntimeApplication : public QApplication {
public:
    RuntimeApplication(int& argc, char** argv)
        : QApplication(argc, argv)
    {
    }

    bool notify(QObject* receiver, QEvent* event) override
    {
        DispatchScope dispatch;
        return QApplication::notify(receiver, event);
    }
};

QApplication*& application()
{
    static QApplication* current = nullptr;
    return current;
}

void installFontSubstitutes()
{
    for (const auto& [family, faces] : fontSubstitutes()) {
        QStringList substitutes;
        for (const char* face : faces)
            substitutes << QString::fromUtf8(face);
        QFont::insertSubstitutions(QString::fromUtf8(family), substitutes);
    }
}

QMessageBox::Icon messageBoxIcon(MessageBoxIcon icon)
{
    switch (icon) {
    case MessageBoxIcon::Critical:
        return QMessageBox::Critical;
    case MessageBoxIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageBoxIcon::Information:
        return QMessageBox::Information;
    case MessageBoxIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

class QtEventLoop : public NativeEventLoop {
public:
    void run() override { loop_.exec(); }
    void quit() override { loop_.quit(); }

private:
    QEventLoop loop_;
};

} // namespace

void startApplication(int& argc, char** argv)
{
    application() = new RuntimeApplication(argc, argv);
    installFontSubstitutes();
    QApplication::setFont(QFont("MS UI Gothic", 9));
    QIcon icon;
    icon.addFile(":/zandreth/zandreth-16.png", QSize(16, 16));
    icon.addFile(":/zandreth/zandreth-32.png", QSize(32, 32));
    QApplication::setWindowIcon(icon);
    QApplication::setQuitOnLastWindowClosed(false);
}

void stopApplication()
{
    delete application();
    application() = nullptr;
}

void runEventLoop() { QApplication::exec(); }
void quitEventLoop() { QApplication::quit(); }
void exitEventLoops(int status) { QApplication::exit(status); }

void clearEndedEventLoops()
{
    // A run of the main loop that ends at once clears an earlier exit.
    QTimer::singleShot(0, application(), [] { QApplication::exit(0); });
    QApplication::exec();
}

std::unique_ptr<NativeEventLoop> createEventLoop() { return std::make_unique<QtEventLoop>(); }

void hideAllWindows()
{
    for (QWidget* window : QApplication::topLevelWidgets())
        window->hide();
}

void showMessageBox(const MessageBoxRequest& request)
{
    QMessageBox box(messageBoxIcon(request.icon), QString::fromStdString(request.title),
                    QString::fromStdString(request.text), QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

void processPendingEvents()
{
    QApplication::sendPostedEvents();
    QApplication::processEvents(QEventLoop::AllEvents);
}

// Qt's backend runs on X11, whose hosts (xscreensaver) start the program
// with those switches.
bool hostSwitchesExist() { return true; }

double dotsPerInch()
{
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchX() : 0;
}

PixelRect screenArea()
{
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    QRect area = screen->geometry();
    return { area.x(), area.y(), area.width(), area.height() };
}

void setPointerHidden(bool hidden)
{
    if (hidden)
        QGuiApplication::setOverrideCursor(Qt::BlankCursor);
    else
        QGuiApplication::restoreOverrideCursor();
}

} // namespace platform::backend
