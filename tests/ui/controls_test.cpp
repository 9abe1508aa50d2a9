// The window's own controls: image buttons, text links, catalogue tiles and the edit keys.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QSvgRenderer>
#include <QTest>

#include "app/ui/catalogue_grid.h"
#include "app/ui/edit_keys.h"
#include "app/ui/hover_image_button.h"
#include "app/ui/hover_link.h"
#include "app/ui/main_window.h"

namespace vendrel::ui {
namespace {

// A widget with the edit slots that records what reached it.
class EditTarget : public QWidget {
    Q_OBJECT
  public:
    EditTarget() { setFocusPolicy(Qt::StrongFocus); }
    QStringList log;
  public slots:
    void cut() { log << "cut"; }
    void copy() { log << "copy"; }
    void paste() { log << "paste"; }
    void undo() { log << "undo"; }
    void redo() { log << "redo"; }
    void selectAll() { log << "selectAll"; }

  protected:
    void keyPressEvent(QKeyEvent* e) override {
        if (e->key() != Qt::Key_Control && e->key() != Qt::Key_Shift && e->key() != Qt::Key_Alt)
            log << "key " + QKeySequence(e->key()).toString();
    }
};

void hover(QWidget* w, bool in) {
    QEvent leave(QEvent::Leave);
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QApplication::sendEvent(w, in ? static_cast<QEvent*>(&enter) : &leave);
}

TEST(Controls, EveryImageTheWindowsNameIsADrawnResource) {
    MainWindow window;  // loads the resources
    for (const char* name :
         {"Bn_Reviews", "Bn_About", "Bn_RunAnalysis", "Bn_Refresh", "Bn_BacktoStep1",
          "Bn_CompleteUninstall", "Bn_BacktoInterface", "Warn", "UAPPSWARN", "Vendrel"}) {
        for (const QString& n : {QString::fromLatin1(name), QString::fromLatin1(name) + "_H"}) {
            if (n.endsWith("_H") &&
                (n.startsWith("Warn") || n.startsWith("UAPPS") || n.startsWith("Vendrel")))
                continue;
            SCOPED_TRACE(n.toStdString());
            QSvgRenderer svg(HoverImageButton::resourcePath(n));
            EXPECT_TRUE(svg.isValid());
            EXPECT_GT(svg.defaultSize().width(), 0);
        }
    }
}

TEST(Controls, ImageButtonSwapsOnHoverAndRunsItsAction) {
    HoverImageButton button;
    button.setImages("Bn_Refresh_H", "Bn_Refresh");
    button.show();
    EXPECT_EQ(button.shownImage(), "Bn_Refresh");
    EXPECT_EQ(button.cursor().shape(), Qt::PointingHandCursor);
    hover(&button, true);
    EXPECT_EQ(button.shownImage(), "Bn_Refresh_H");
    hover(&button, false);
    EXPECT_EQ(button.shownImage(), "Bn_Refresh");

    // Without an action a click does nothing but still returns to the normal picture.
    hover(&button, true);
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(button.shownImage(), "Bn_Refresh");
    int runs = 0;
    button.setAction([&] { ++runs; });
    hover(&button, true);
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(button.shownImage(), "Bn_Refresh");
    EXPECT_EQ(button.focusPolicy(), Qt::NoFocus);
}

TEST(Controls, TextLinkUnderlinesAndColoursOnHover) {
    struct Row {
        const char* name;
        std::optional<QString> text;
        std::optional<QColor> colour;
        QString expectedText;
        bool colourChanges;
    };
    const Row rows[] = {
        {"text and colour", QString("What is it?"), QColor(Qt::blue), "What is it?", true},
        {"no colour: only the underline", QString("Link"), std::nullopt, "Link", false},
        {"no text: the label's own", std::nullopt, QColor(Qt::blue), "Already there", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        HoverLink link;
        link.setText("Already there");
        link.setUp(row.text, row.colour);
        link.show();
        const QColor normal = link.shownColour();
        EXPECT_EQ(link.text(), row.expectedText);
        hover(&link, true);
        EXPECT_TRUE(link.font().underline());
        EXPECT_EQ(link.shownColour() != normal, row.colourChanges);
        int clicks = 0;
        link.setAction([&] { ++clicks; });
        QTest::mouseClick(&link, Qt::LeftButton);
        EXPECT_EQ(clicks, 1);
        EXPECT_TRUE(link.font().underline()) << "a click leaves the styling";
        hover(&link, false);
        EXPECT_FALSE(link.font().underline());
        EXPECT_EQ(link.shownColour(), normal);
    }
}

TEST(Controls, TileClickSignalsEveryTimeItsTileIsSelected) {
    CatalogueModel model;
    std::vector<InstalledAppRef> apps;
    for (const char* name : {"Alpha", "Beta"}) {
        apps.push_back(std::make_shared<InstalledApp>());
        apps.back()->name.set(name);
    }
    model.setApps(apps);
    CatalogueGrid grid;
    grid.setModel(&model);
    grid.resize(400, 300);
    grid.show();
    int chosen = 0;
    QObject::connect(&grid, &CatalogueGrid::appChosen, [&] { ++chosen; });
    const QRect tile = grid.visualRect(model.index(1, 0));
    EXPECT_EQ(tile.size(), QSize(AppTileDelegate::kWidth, AppTileDelegate::kHeight));
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, tile.center());
    EXPECT_EQ(grid.selectedRow(), 1);
    EXPECT_EQ(chosen, 1);
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, tile.center());
    EXPECT_EQ(chosen, 2) << "a click on the selected tile signals again";
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, QPoint(390, 290));
    EXPECT_EQ(chosen, 2) << "a click beside the tiles chooses nothing";
}

TEST(Controls, EditKeys) {
    struct Row {
        const char* name;
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        const char* action;
    };
    const Row rows[] = {
        {"Ctrl+X", Qt::Key_X, Qt::ControlModifier, "cut"},
        {"Ctrl+C", Qt::Key_C, Qt::ControlModifier, "copy"},
        {"Ctrl+V", Qt::Key_V, Qt::ControlModifier, "paste"},
        {"Ctrl+Z", Qt::Key_Z, Qt::ControlModifier, "undo"},
        {"Ctrl+A", Qt::Key_A, Qt::ControlModifier, "selectAll"},
        {"Ctrl+Shift+Z", Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier, "redo"},
        {"Ctrl+Alt+Z", Qt::Key_Z, Qt::ControlModifier | Qt::AltModifier, nullptr},
        {"Ctrl+Shift+C", Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier, nullptr},
        {"Z alone", Qt::Key_Z, Qt::NoModifier, nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const char* got = EditKeys::actionFor(row.key, row.mods);
        if (row.action)
            EXPECT_STREQ(got, row.action);
        else
            EXPECT_EQ(got, nullptr);
    }

    // Through the application to the focused widget: the key becomes the widget's edit slot,
    // and a key with no action reaches the widget itself.
    EditKeys keys;
    qApp->installEventFilter(&keys);
    EditTarget target;
    target.show();
    target.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&target));
    target.setFocus();
    ASSERT_TRUE(target.hasFocus());
    for (const Row& row : rows)
        QTest::keyClick(&target, row.key, row.mods);
    qApp->removeEventFilter(&keys);
    EXPECT_EQ(target.log.join(", ").toStdString(),
              "cut, copy, paste, undo, selectAll, redo, key Z, key C, key Z");
}

}  // namespace
}  // namespace vendrel::ui

#include "controls_test.moc"
