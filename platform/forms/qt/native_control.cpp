#include "platform/forms/qt/native_control.h"

#include "platform/forms/label.h"
#include "platform/forms/qt/screen_scale.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPalette>
#include <QImage>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>

namespace platform::qt {

namespace {

// Hands a window's keys and mouse to the rules; a key they use goes no
// further.
class InputForwarder : public QObject {
public:
    InputForwarder(QWidget* widget, backend::NativeEvents& events)
        : QObject(widget)
        , events_(events)
    {
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            return events_.nativeKeyPressed(keyCodeOf(*key), shiftStateOf(key->modifiers()));
        }
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseMove) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            auto x = static_cast<int>(mouse->position().x());
            auto y = static_cast<int>(mouse->position().y());
            int16_t shift = shiftStateOf(mouse->modifiers());
            if (event->type() == QEvent::MouseMove)
                events_.nativeMouseMove(mouseButtonOf(mouse->buttons()), shift, x, y,
                                        static_cast<int>(mouse->globalPosition().x()),
                                        static_cast<int>(mouse->globalPosition().y()));
            else
                events_.nativeMouseDown(mouseButtonOf(mouse->button()), shift, x, y);
        }
        return false;
    }

private:
    backend::NativeEvents& events_;
};

// The option group's exclusivity is the rules' business, not Qt's: a click
// on a selected button leaves it selected.
class OptionWidget : public QRadioButton {
public:
    OptionWidget() { setAutoExclusive(false); }

protected:
    void nextCheckState() override
    {
        if (!isChecked())
            setChecked(true);
    }
};

// A label keeps the mouse to itself: a click or a move over it reaches
// neither the form nor a picture under it. The map image and the icon are
// labels too.
QLabel* labelWidget()
{
    auto* label = new QLabel;
    label->setAttribute(Qt::WA_NoMousePropagation);
    label->setMouseTracking(true);
    label->setMargin(0);
    label->setIndent(0);
    return label;
}

// A picture fills its label: at the label's own size it is drawn as it is;
// at another size the label scales it, once per size.
backend::PixelRect showPixmap(QWidget* widget, const QPixmap& picture)
{
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setScaledContents(true);
        label->setPixmap(picture);
    }
    return { 0, 0, picture.width(), picture.height() };
}

QString resourcePath(const QString& name) { return QStringLiteral(":/zandreth/") + name + QStringLiteral(".bmp"); }

// The copy of a compiled-in picture that suits a label `width` device
// pixels wide: the finer copy where the label is wider than the picture and
// the program has one. The missing picture where it has neither.
QPixmap pictureFor(const QString& name, int width)
{
    QPixmap picture(resourcePath(name));
    if (picture.isNull()) {
        picture = QPixmap(backend::kMissingPictureWidth, backend::kMissingPictureHeight);
        picture.fill(colourFromValue(backend::kMissingPictureColour));
        return picture;
    }
    if (width > picture.width()) {
        QPixmap finer(resourcePath(name + QStringLiteral("-2x")));
        if (!finer.isNull())
            return finer;
    }
    return picture;
}

} // namespace

void forwardInput(QWidget& widget, backend::NativeEvents& events) { new InputForwarder(&widget, events); }

QtControl::QtControl(QWidget* widget, backend::NativeEvents& events)
    : widget_(widget)
    , events_(events)
{
    forwardInput(*widget, events);
}

QtControl::~QtControl() { delete widget_.data(); }

void QtControl::setGeometry(const backend::PixelRect& rect)
{
    bool resized = rect.width != widget_->width() || rect.height != widget_->height();
    widget_->setGeometry(rect.x, rect.y, rect.width, rect.height);
    if (resized)
        showPictureCopy();
}

// The picture of setPicture or the program's icon, in the copy that suits
// the label's size now; nothing when it shows other pixels.
void QtControl::showPictureCopy()
{
    if (showsOwnPicture_) {
        QPixmap copy = pictureFor(pictureName_, widget_->width());
        if (copy.width() != pictureCopyWidth_) {
            pictureCopyWidth_ = copy.width();
            showPixmap(widget_, copy);
        }
    } else if (showsIcon_ && widget_->width() > 0 && widget_->height() > 0) {
        showPixmap(widget_, QApplication::windowIcon().pixmap(widget_->size()));
    }
}
void QtControl::setVisible(bool visible) { widget_->setVisible(visible); }
void QtControl::setEnabled(bool enabled) { widget_->setEnabled(enabled); }
void QtControl::setFont(const Font& font) { widget_->setFont(qtFont(font)); }
void QtControl::setToolTip(const std::string& text) { widget_->setToolTip(QString::fromStdString(text)); }
void QtControl::setFocus(bool byTab) { widget_->setFocus(byTab ? Qt::TabFocusReason : Qt::OtherFocusReason); }
bool QtControl::hasFocus() const { return widget_->hasFocus(); }
void QtControl::raise() { widget_->raise(); }

void QtControl::setForeColor(Colour colour)
{
    QPalette palette = widget_->palette();
    for (auto role : { QPalette::WindowText, QPalette::Text, QPalette::ButtonText })
        palette.setColor(role, colourFromValue(colour));
    widget_->setPalette(palette);
}

void QtControl::setBackColor(Colour colour)
{
    QPalette palette = widget_->palette();
    palette.setColor(QPalette::Window, colourFromValue(colour));
    widget_->setPalette(palette);
    widget_->setAutoFillBackground(true);
}

void QtControl::setText(const std::string& text)
{
    QString caption = QString::fromStdString(text);
    if (auto* button = qobject_cast<QAbstractButton*>(widget_))
        button->setText(caption);
    else if (auto* label = qobject_cast<QLabel*>(widget_))
        label->setText(caption);
    else if (auto* frame = qobject_cast<QGroupBox*>(widget_))
        frame->setTitle(caption);
}

backend::PixelRect QtControl::textExtent() const
{
    auto* label = qobject_cast<QLabel*>(widget_);
    QFontMetrics metrics(widget_->font());
    return { 0, 0, metrics.horizontalAdvance(label ? label->text() : QString()), metrics.height() };
}

void QtControl::setAlignment(Alignment alignment)
{
    Qt::Alignment horizontal = alignment == Alignment::Center ? Qt::AlignHCenter
        : alignment == Alignment::Right                       ? Qt::AlignRight
                                                              : Qt::AlignLeft;
    if (auto* label = qobject_cast<QLabel*>(widget_))
        label->setAlignment(horizontal | Qt::AlignTop);
}

void QtControl::setWordWrap(bool wrap)
{
    if (auto* label = qobject_cast<QLabel*>(widget_))
        label->setWordWrap(wrap);
}

void QtControl::setChecked(bool checked)
{
    auto* button = qobject_cast<QAbstractButton*>(widget_);
    const QSignalBlocker quiet(button);
    button->setChecked(checked);
}

void QtControl::setDefault(bool isDefault)
{
    if (auto* button = qobject_cast<QPushButton*>(widget_))
        button->setDefault(isDefault);
}

backend::PixelRect QtControl::setPicture(const std::string& resourceName)
{
    pictureName_ = QString::fromStdString(resourceName);
    showsOwnPicture_ = true;
    showsIcon_ = false;
    QPixmap own = pictureFor(pictureName_, 0);
    QPixmap copy = pictureFor(pictureName_, widget_->width());
    pictureCopyWidth_ = copy.width();
    showPixmap(widget_, copy);
    return { 0, 0, own.width(), own.height() };
}

void QtControl::setLineStyle(Colour colour, int penWidth) { styleLine(*widget_, colourFromValue(colour), penWidth); }

PixelPicture QtControl::picturePixels() const
{
    auto* label = qobject_cast<QLabel*>(widget_);
    if (!label)
        return {};
    QPixmap shown = pictureName_.isEmpty() ? label->pixmap() : pictureFor(pictureName_, widget_->width());
    QImage image = shown.toImage().convertToFormat(QImage::Format_RGB32);
    PixelPicture picture { image.width(), image.height(), {} };
    picture.pixels.reserve(static_cast<std::size_t>(image.width()) * static_cast<std::size_t>(image.height()));
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const uint32_t*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            picture.pixels.push_back(line[x] & 0x00FFFFFFu);
    }
    return picture;
}

void QtControl::setPicturePixels(const PixelPicture& picture)
{
    // Format_RGB32 holds 0xffRRGGBB per pixel.
    QImage image(picture.width, picture.height, QImage::Format_RGB32);
    const uint32_t* from = picture.pixels.data();
    for (int y = 0; y < picture.height; ++y) {
        auto* line = reinterpret_cast<uint32_t*>(image.scanLine(y));
        for (int x = 0; x < picture.width; ++x)
            line[x] = *from++ | 0xFF000000u;
    }
    showsOwnPicture_ = false;
    pictureCopyWidth_ = 0;
    showsIcon_ = false;
    showPixmap(widget_, QPixmap::fromImage(std::move(image)));
}

// The icon at 32 x 32 pixels; drawn from the icon's size that suits the
// label's size in device pixels.
backend::PixelRect QtControl::setProgramIcon()
{
    constexpr int kIconSize = 32;
    pictureName_.clear();
    showsOwnPicture_ = false;
    showsIcon_ = true;
    QSize size = widget_->width() > 0 && widget_->height() > 0 ? widget_->size() : QSize(kIconSize, kIconSize);
    showPixmap(widget_, QApplication::windowIcon().pixmap(size));
    return { 0, 0, kIconSize, kIconSize };
}

QColor colourFromValue(Colour value)
{
    if (isSystemColour(value)) {
        QPalette palette = QApplication::palette();
        switch (systemColourIndex(value)) {
        case static_cast<int>(SystemColour::WindowText):
            return palette.color(QPalette::WindowText);
        case static_cast<int>(SystemColour::ButtonFace):
            return palette.color(QPalette::Button);
        case static_cast<int>(SystemColour::Window):
            return palette.color(QPalette::Base);
        default:
            return palette.color(QPalette::Window);
        }
    }
    Rgb rgb = rgbOf(value);
    return QColor(rgb.red, rgb.green, rgb.blue);
}

QFont qtFont(const Font& font)
{
    QFont result(QString::fromStdString(font.name));
    result.setPointSizeF(font.size * fontPointFactor());
    result.setBold(font.bold);
    return result;
}

// The widget of each kind of control, connected to the rules.
QWidget* createWidget(backend::ControlKind kind, backend::NativeEvents& events)
{
    using backend::ControlKind;
    switch (kind) {
    case ControlKind::Label: {
        QLabel* label = labelWidget();
        label->setTextFormat(Qt::PlainText);
        label->setAutoFillBackground(true);
        return label;
    }
    case ControlKind::Image: {
        QLabel* image = labelWidget();
        image->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return image;
    }
    case ControlKind::PictureBox:
        return labelWidget();
    case ControlKind::Line:
        return createLineWidget();
    case ControlKind::Frame:
        return createFrameWidget();
    case ControlKind::CheckBox: {
        auto* box = new QCheckBox;
        QObject::connect(box, &QCheckBox::clicked, [&events](bool checked) { events.nativeValueChanged(checked ? 1 : 0); });
        return box;
    }
    case ControlKind::OptionButton: {
        auto* button = new OptionWidget;
        QObject::connect(button, &QRadioButton::toggled, [&events](bool checked) {
            if (checked)
                events.nativeValueChanged(1);
        });
        return button;
    }
    case ControlKind::CommandButton: {
        auto* button = new QPushButton;
        button->setAutoDefault(false);
        QObject::connect(button, &QPushButton::clicked, [&events] { events.nativeClicked(); });
        return button;
    }
    case ControlKind::ComboBox:
    case ControlKind::HScrollBar:
        break;
    }
    return nullptr;
}

} // namespace platform::qt

namespace platform::backend {

std::unique_ptr<NativeControl> createControl(ControlKind kind, NativeWindow& parent, NativeEvents& events)
{
    std::unique_ptr<qt::QtControl> control;
    if (kind == ControlKind::ComboBox)
        control = qt::createComboBox(events);
    else if (kind == ControlKind::HScrollBar)
        control = qt::createHScrollBar(events);
    else
        control = std::make_unique<qt::QtControl>(qt::createWidget(kind, events), events);
    QWidget* widget = control->widget();
    widget->setParent(qt::widgetOf(parent));
    widget->setFocusPolicy(takesFocus(kind) ? Qt::StrongFocus : Qt::NoFocus);
    widget->show();
    return control;
}

} // namespace platform::backend
