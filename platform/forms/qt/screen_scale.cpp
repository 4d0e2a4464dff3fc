#include "platform/forms/qt/screen_scale.h"

#include "platform/forms/x11/display.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QList>
#include <QScreen>
#include <QString>

#include <cmath>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace platform::qt {

namespace {

constexpr double kStandardDpi = 96;

// The factors the user set for Qt: one for every monitor, and one per
// monitor by name or by place in the list of monitors.
struct UserFactors {
    double all = 1;
    // Whether `all` is in Qt's resolution already (QT_FONT_DPI).
    bool allInResolution = false;
    std::map<QString, double> byName;
    std::vector<double> byIndex;
};

UserFactors& userFactors()
{
    static UserFactors factors;
    return factors;
}

std::optional<double> factorFrom(const QString& text)
{
    bool ok = false;
    double value = text.trimmed().toDouble(&ok);
    if (!ok || !(value > 0 && value <= 16))
        return std::nullopt;
    return value;
}

// QT_SCREEN_SCALE_FACTORS: "DP-1=2;HDMI-1=1" or "2;1" (by the monitors'
// order); an entry that does not read as a factor is left out.
void readScreenFactors(const QString& text, UserFactors& factors)
{
    for (const QString& entry : text.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        qsizetype equals = entry.indexOf(QLatin1Char('='));
        if (equals >= 0) {
            if (auto value = factorFrom(entry.mid(equals + 1)))
                factors.byName[entry.left(equals).trimmed()] = *value;
        } else if (auto value = factorFrom(entry)) {
            factors.byIndex.push_back(*value);
        }
    }
}

} // namespace

void takeOverScaling(const std::optional<std::string>& x11Display)
{
    // Elsewhere (Wayland) a window is drawn at its monitor's scale by the
    // compositor's rules, which Qt follows; the program's pixels are Qt's
    // there, each monitor's scale 1 to the rules.
    if (!x11Display)
        return;
    UserFactors& factors = userFactors();
    if (auto value = factorFrom(QString::fromLocal8Bit(qgetenv("QT_SCALE_FACTOR"))))
        factors.all = *value;
    readScreenFactors(QString::fromLocal8Bit(qgetenv("QT_SCREEN_SCALE_FACTORS")), factors);
    qunsetenv("QT_SCALE_FACTOR");
    qunsetenv("QT_SCREEN_SCALE_FACTORS");
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    if (factors.all == 1)
        return;
    // Qt's resolution, its own (QT_FONT_DPI) or the desktop's (Xft.dpi),
    // times the factor: fonts, check boxes, arrows and icons grow with it.
    bool ownDpi = false;
    double dpi = qEnvironmentVariableIntValue("QT_FONT_DPI", &ownDpi);
    if (!ownDpi || !(dpi > 0))
        dpi = (x11Display ? x11::resourceDotsPerInch(*x11Display) : std::nullopt).value_or(kStandardDpi);
    qputenv("QT_FONT_DPI", QByteArray::number(static_cast<int>(std::lround(dpi * factors.all))));
    factors.allInResolution = true;
}

// As Qt has it: a monitor's own factor, where the user gave one, stands in
// for the one from its resolution (Xft.dpi); the factor for all monitors
// multiplies either.
double screenScale(const QScreen* screen)
{
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const UserFactors& factors = userFactors();
    if (!screen)
        return factors.all;
    std::optional<double> own;
    if (auto named = factors.byName.find(screen->name()); named != factors.byName.end()) {
        own = named->second;
    } else {
        auto index = static_cast<std::size_t>(QGuiApplication::screens().indexOf(const_cast<QScreen*>(screen)));
        if (index < factors.byIndex.size())
            own = factors.byIndex[index];
    }
    if (own)
        return *own * factors.all;
    double fromResolution = screen->logicalDotsPerInch() / kStandardDpi;
    if (!(fromResolution > 0))
        fromResolution = 1;
    return factors.allInResolution ? fromResolution : fromResolution * factors.all;
}

double formsDotsPerInch() { return kStandardDpi * screenScale(nullptr); }

double fontPointFactor()
{
    QScreen* primary = QGuiApplication::primaryScreen();
    double qtDpi = primary ? primary->logicalDotsPerInch() : kStandardDpi;
    if (!(qtDpi > 0))
        return 1;
    return formsDotsPerInch() / qtDpi;
}

} // namespace platform::qt
