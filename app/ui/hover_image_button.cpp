#include "app/ui/hover_image_button.h"

#include <QMouseEvent>
#include <QPainter>
#include <QSvgRenderer>

namespace vendrel::ui {

HoverImageButton::HoverImageButton(QWidget* parent) : QWidget(parent) {
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_Hover);
}

HoverImageButton::~HoverImageButton() = default;

QString HoverImageButton::resourcePath(const QString& name) {
    return QStringLiteral(":/images/%1.svg").arg(name);
}

void HoverImageButton::setImages(const QString& hoveredName, const QString& normalName) {
    hoveredName_ = hoveredName;
    normalName_ = normalName;
    hoveredImage_ = std::make_unique<QSvgRenderer>(resourcePath(hoveredName));
    normalImage_ = std::make_unique<QSvgRenderer>(resourcePath(normalName));
    setFixedSize(sizeHint());
    update();
}

QSize HoverImageButton::sizeHint() const {
    if (normalImage_ && normalImage_->isValid())
        return normalImage_->defaultSize();
    return {100, 32};
}

void HoverImageButton::paintEvent(QPaintEvent*) {
    QSvgRenderer* image = hovered_ ? hoveredImage_.get() : normalImage_.get();
    if (!image || !image->isValid())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // A disabled button (while a removal runs) is drawn faded and takes no clicks.
    if (!isEnabled())
        painter.setOpacity(0.45);
    image->render(&painter, rect());
}

void HoverImageButton::enterEvent(QEnterEvent*) {
    hovered_ = isEnabled();
    update();
}

void HoverImageButton::leaveEvent(QEvent*) {
    hovered_ = false;
    update();
}

void HoverImageButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    // The action may open a modal window; the pointer is then no longer over the button.
    hovered_ = false;
    if (action_)
        action_();
    emit clicked();
    update();
}

}  // namespace vendrel::ui
