// An image button that swaps to its highlighted picture while the pointer is over it and
// shows the pointing-hand cursor. The pictures are the application's image resources, looked
// up by name (":/images/<name>.svg") and drawn from their vector form, so they stay sharp at
// any device pixel ratio.
//
// A click runs the action, if one is set, then shows the normal picture again in every case.
// The button never takes focus and never starts a drag.
#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <memory>

class QSvgRenderer;

namespace vendrel::ui {

class HoverImageButton : public QWidget {
    Q_OBJECT
  public:
    explicit HoverImageButton(QWidget* parent = nullptr);
    ~HoverImageButton() override;

    void setAction(std::function<void()> action) { action_ = std::move(action); }
    // Names of the pictures while hovered and otherwise. The widget takes the normal
    // picture's size as its own.
    void setImages(const QString& hoveredName, const QString& normalName);

    bool isHovered() const { return hovered_; }
    const QString& shownImage() const { return hovered_ ? hoveredName_ : normalName_; }
    QSize sizeHint() const override;

    // The full path of a named image resource.
    static QString resourcePath(const QString& name);

  signals:
    void clicked();

  protected:
    void paintEvent(QPaintEvent*) override;
    void enterEvent(QEnterEvent*) override;
    void leaveEvent(QEvent*) override;
    void mousePressEvent(QMouseEvent*) override;

  private:
    std::function<void()> action_;
    QString hoveredName_, normalName_;
    std::unique_ptr<QSvgRenderer> hoveredImage_, normalImage_;
    bool hovered_ = false;
};

}  // namespace vendrel::ui
