#include "app/ui/hover_link.h"

#include <QMouseEvent>

namespace vendrel::ui {

HoverLink::HoverLink(QWidget* parent) : QLabel(parent) {
    setCursor(Qt::PointingHandCursor);
    setTextFormat(Qt::PlainText);
    setAttribute(Qt::WA_Hover);
}

void HoverLink::setUp(const std::optional<QString>& text, std::optional<QColor> hoverColour) {
    if (text)
        setText(*text);
    hoverColour_ = hoverColour;
    restyle();
}

QColor HoverLink::shownColour() const {
    if (hovered_ && hoverColour_)
        return *hoverColour_;
    return palette().color(foregroundRole());
}

void HoverLink::restyle() {
    QFont f = font();
    f.setUnderline(hovered_);
    setFont(f);
    // The normal colour is whatever the palette (or the form's style sheet) gives the label.
    if (hovered_ && hoverColour_)
        setStyleSheet(QStringLiteral("color: %1;").arg(hoverColour_->name()));
    else
        setStyleSheet(QString());
}

void HoverLink::enterEvent(QEnterEvent*) {
    hovered_ = true;
    restyle();
}

void HoverLink::leaveEvent(QEvent*) {
    hovered_ = false;
    restyle();
}

void HoverLink::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && action_)
        action_();
}

}  // namespace vendrel::ui
