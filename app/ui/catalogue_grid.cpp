#include "app/ui/catalogue_grid.h"

#include <QFile>
#include <QMouseEvent>
#include <QPainter>

#include "platform/paths.h"

namespace vendrel::ui {

namespace {

QIcon iconFromFile(const std::string& logicalPath) {
    const QString host = QString::fromStdString(platform::toHost(logicalPath));
    if (!QFile::exists(host))
        return {};
    QIcon icon(host);
    return icon.availableSizes().isEmpty() && icon.pixmap(64).isNull() ? QIcon() : icon;
}

}  // namespace

QIcon appIcon(const InstalledApp& app) {
    for (const auto& image : {app.largeIcon.get(), app.icon.get()}) {
        if (!image)
            continue;
        QIcon icon = iconFromFile(image->path);
        if (!icon.isNull())
            return icon;
    }
    return QIcon(QStringLiteral(":/images/GenericApp.svg"));
}

void CatalogueModel::setApps(std::vector<InstalledAppRef> apps) {
    beginResetModel();
    apps_ = std::move(apps);
    endResetModel();
}

int CatalogueModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(apps_.size());
}

QVariant CatalogueModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const InstalledApp& app = *apps_[static_cast<size_t>(index.row())];
    switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole:
            return QString::fromStdString(app.name.get());
        case Qt::DecorationRole: {
            const auto image = app.largeIcon.get() ? app.largeIcon.get() : app.icon.get();
            const QString key = image ? QString::fromStdString(image->path) : QString();
            auto it = icons_.find(key);
            if (it == icons_.end())
                it = icons_.insert(key, appIcon(app));
            return *it;
        }
        default:
            return {};
    }
}

QColor AppTileDelegate::headerColour() {
    return QColor(0xd5, 0xe3, 0xea);
}

void AppTileDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    const QRect r = option.rect.adjusted(2, 2, -2, -2);
    if (option.state & QStyle::State_Selected) {
        painter->setPen(QPen(QColor(0x8c, 0xaa, 0xba), 1));
        painter->setBrush(headerColour());
        painter->drawRoundedRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
    } else if (option.state & QStyle::State_MouseOver) {
        painter->setPen(Qt::NoPen);
        painter->setBrush(QColor(0xee, 0xf3, 0xf6));
        painter->drawRoundedRect(r, 8, 8);
    }
    const QIcon icon = index.data(Qt::DecorationRole).value<QIcon>();
    const QRect iconRect(r.center().x() - 20, r.top() + 6, 40, 40);
    icon.paint(painter, iconRect);

    const QString name = index.data(Qt::DisplayRole).toString();
    QFont f = option.font;
    f.setPointSizeF(f.pointSizeF() * 0.92);
    painter->setFont(f);
    painter->setPen(QColor(0x25, 0x33, 0x3d));
    const QRect textRect(r.left() + 4, iconRect.bottom() + 3, r.width() - 8,
                         r.bottom() - iconRect.bottom() - 3);
    const QFontMetrics fm(f);
    // Two lines at most; the second is elided.
    QString first = name, second;
    if (fm.horizontalAdvance(name) > textRect.width()) {
        qsizetype cut = name.size();
        while (cut > 1 && fm.horizontalAdvance(name.left(cut)) > textRect.width())
            --cut;
        const qsizetype space = name.left(cut).lastIndexOf(QLatin1Char(' '));
        if (space > 0)
            cut = space;
        first = name.left(cut);
        second = fm.elidedText(name.mid(cut).trimmed(), Qt::ElideRight, textRect.width());
    }
    painter->drawText(QRect(textRect.left(), textRect.top(), textRect.width(), fm.height()),
                      Qt::AlignHCenter, first);
    if (!second.isEmpty())
        painter->drawText(
            QRect(textRect.left(), textRect.top() + fm.height(), textRect.width(), fm.height()),
            Qt::AlignHCenter, second);
    painter->restore();
}

CatalogueGrid::CatalogueGrid(QWidget* parent) : QListView(parent) {
    setViewMode(QListView::IconMode);
    setMovement(QListView::Static);
    setResizeMode(QListView::Adjust);
    setUniformItemSizes(true);
    setGridSize(QSize(AppTileDelegate::kWidth, AppTileDelegate::kHeight));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setMouseTracking(true);
    setItemDelegate(new AppTileDelegate(this));
    setSpacing(0);
    setWordWrap(true);
}

int CatalogueGrid::selectedRow() const {
    if (!selectionModel())
        return -1;
    const auto rows = selectionModel()->selectedIndexes();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void CatalogueGrid::mousePressEvent(QMouseEvent* event) {
    QListView::mousePressEvent(event);
    const QModelIndex hit = indexAt(event->position().toPoint());
    if (hit.isValid() && selectionModel() && selectionModel()->isSelected(hit))
        emit appChosen();
}

}  // namespace vendrel::ui
