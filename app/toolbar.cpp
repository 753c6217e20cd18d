#include "app/toolbar.h"

#include "app/icons.h"
#include "widgetkit/widgets.h"

#include <QMouseEvent>

namespace korvanta::ui {

ToolbarItem::ToolbarItem(QWidget* parent, int index, const QString& caption, const QPixmap& icon) : QFrame(parent)
{
    setObjectName(ControlName("Picture14", index));
    setGeometry(TwipsRect(120 + 1260 * index, 180, 1095, 555));
    setAutoFillBackground(true);
    SetPressedLook(false);

    auto* image = new QLabel(this);
    image->setObjectName(ControlName("Image7", index));
    image->setGeometry(TwipsRect(60, 60, 450, 450));
    image->setScaledContents(true);
    image->setPixmap(icon);

    caption_ = MakeLabel(this, ControlName("Label15", index), caption, 660, 180);

    // The transparent label over the whole item receives the mouse.
    mouseArea_ = new QLabel(this);
    mouseArea_->setObjectName(ControlName("Label28", index));
    mouseArea_->setGeometry(0, 0, width(), height());
    mouseArea_->setAttribute(Qt::WA_TranslucentBackground);
    mouseArea_->setCursor(Qt::ArrowCursor);
    mouseArea_->installEventFilter(this);
    mouseArea_->raise();
}

void ToolbarItem::SetPressedLook(bool pressed)
{
    if (pressed) {
        setFrameShape(QFrame::Panel);
        setFrameShadow(QFrame::Raised);
        setLineWidth(1);
    } else {
        setFrameShape(QFrame::NoFrame);
        QPalette p = palette();
        p.setColor(QPalette::Window, ButtonFaceColour());
        setPalette(p);
    }
}

void ToolbarItem::SetActionEnabled(bool enabled)
{
    caption_->setEnabled(enabled);
    mouseArea_->setEnabled(enabled);
}

bool ToolbarItem::eventFilter(QObject* watched, QEvent* event)
{
    // Filters see events even of a disabled control; a disabled item is dead.
    if (watched == mouseArea_ && mouseArea_->isEnabled()) {
        // Any mouse button presses and releases; the release arrives here
        // even outside the item, since the press grabbed the mouse.
        if (event->type() == QEvent::MouseButtonPress) {
            SetPressedLook(true);
            return true;
        }
        if (event->type() == QEvent::MouseButtonRelease) {
            SetPressedLook(false);
            emit Activated();
            return true;
        }
    }
    return QFrame::eventFilter(watched, event);
}

Toolbar::Toolbar(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("Frame1"));
    setGeometry(TwipsRect(60, -60, 8115, 855));
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Sunken);
    const QString captions[3] = {tr("导入"), tr("导出"), tr("帮助")};
    const ToolIcon icons[3] = {ToolIcon::Import, ToolIcon::Export, ToolIcon::Help};
    for (int i = 0; i < 3; ++i)
        items_[static_cast<std::size_t>(i)] = new ToolbarItem(this, i, captions[i], ToolIconPixmap(icons[i]));
}

void Toolbar::SetExchangeEnabled(bool enabled)
{
    items_[0]->SetActionEnabled(enabled);
    items_[1]->SetActionEnabled(enabled);
}

} // namespace korvanta::ui
