// The catalogue grid of Step 1: one 137 x 90 tile per installed application, in the
// catalogue's order, so a row of the model is an index into Catalogue::apps.
//
//   CatalogueModel   the records as a list model (icon, name); icons are loaded on first
//                    paint and kept, so a catalogue of hundreds of bundles shows at once
//   AppTileDelegate  draws one tile: the header colour behind a selected tile, the icon,
//                    the name elided to two lines
//   CatalogueGrid    the view; a click on a tile that is selected after the click (a new
//                    selection or the same one again) emits appChosen()
#pragma once

#include <QAbstractListModel>
#include <QHash>
#include <QIcon>
#include <QListView>
#include <QStyledItemDelegate>
#include <vector>

#include "app/catalogue/installed_app.h"

namespace vendrel::ui {

// The picture of a record: its own icon file, else its workspace icon, else the built-in
// application picture. Logical paths are read on the volume; .icns needs Qt's image plugin.
QIcon appIcon(const InstalledApp& app);

class CatalogueModel : public QAbstractListModel {
    Q_OBJECT
  public:
    using QAbstractListModel::QAbstractListModel;
    void setApps(std::vector<InstalledAppRef> apps);
    const std::vector<InstalledAppRef>& apps() const { return apps_; }
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

  private:
    std::vector<InstalledAppRef> apps_;
    mutable QHash<QString, QIcon> icons_;  // by icon path: the same file is read once
};

class AppTileDelegate : public QStyledItemDelegate {
    Q_OBJECT
  public:
    static constexpr int kWidth = 137;
    static constexpr int kHeight = 90;
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override {
        return {kWidth, kHeight};
    }
    // The colour behind a selected tile.
    static QColor headerColour();
};

class CatalogueGrid : public QListView {
    Q_OBJECT
  public:
    explicit CatalogueGrid(QWidget* parent = nullptr);
    int selectedRow() const;  // -1 when none

  signals:
    void appChosen();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
};

}  // namespace vendrel::ui
