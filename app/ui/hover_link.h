// A text link: while the pointer is over it the text is underlined and, when a hover colour
// is set, drawn in that colour; it shows the pointing-hand cursor. A click runs the action
// (if set) and leaves the styling as it is.
#pragma once

#include <QColor>
#include <QLabel>
#include <functional>
#include <optional>

namespace vendrel::ui {

class HoverLink : public QLabel {
    Q_OBJECT
  public:
    explicit HoverLink(QWidget* parent = nullptr);

    // text: the link's text, or the label's current text when null. hoverColour: none keeps
    // the colour and only underlines.
    void setUp(const std::optional<QString>& text, std::optional<QColor> hoverColour);
    void setAction(std::function<void()> action) { action_ = std::move(action); }

    bool isHovered() const { return hovered_; }
    QColor shownColour() const;

  protected:
    void enterEvent(QEnterEvent*) override;
    void leaveEvent(QEvent*) override;
    void mousePressEvent(QMouseEvent*) override;

  private:
    void restyle();

    std::function<void()> action_;
    std::optional<QColor> hoverColour_;
    bool hovered_ = false;
};

}  // namespace vendrel::ui
